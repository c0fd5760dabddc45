#pragma once

#include <string>

class QLineEdit;

namespace Login {

// What was typed into a secure field, taken for the one call that needs it:
// the bytes are overwritten when it goes, so that the secret is not kept
// beyond that call. Never log it.
class SecureText {
public:
    SecureText() = default;
    explicit SecureText(const QLineEdit& field);
    ~SecureText();
    SecureText(const SecureText&) = delete;
    SecureText& operator=(const SecureText&) = delete;

    const std::string& Text() const { return mstrText; }
    bool Empty() const { return mstrText.empty(); }

private:
    std::string mstrText;
};

}  // namespace Login
