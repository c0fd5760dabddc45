#include "Client/Login/SecureText.h"

#include <QByteArray>
#include <QLineEdit>
#include <QString>

#include <cstring>

namespace Login {

namespace {

// Overwrites bytes in a way the compiler may not leave out.
void Wipe(char* data, size_t size)
{
    if (size > 0)
        explicit_bzero(data, size);
}

}  // namespace

// The UTF-8 form passes through a byte array, which is wiped as well.
SecureText::SecureText(const QLineEdit& field)
{
    QByteArray bytes = field.text().toUtf8();
    mstrText.assign(bytes.constData(), static_cast<size_t>(bytes.size()));
    Wipe(bytes.data(), static_cast<size_t>(bytes.size()));
}

SecureText::~SecureText()
{
    Wipe(mstrText.data(), mstrText.size());
}

}  // namespace Login
