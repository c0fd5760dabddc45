#pragma once

#include <QByteArray>
#include <QtGlobal>

namespace TestSupport {

// Windows on Qt's offscreen platform, which needs no display. A platform
// already set with options keeps them, so that a test can give the screen a
// size: QT_QPA_PLATFORM=offscreen:configfile=<json> (see screen-1024x768.json);
// Qt's own screen is 800x600.
inline void UseOffscreenPlatform()
{
    if (!qgetenv("QT_QPA_PLATFORM").startsWith("offscreen:"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
}

}  // namespace TestSupport
