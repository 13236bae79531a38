#include "window/DisplayCheck.h"

#include <QStringList>
#include <QTextStream>

namespace kiv::window {

namespace {

// The systems Qt would try, in order: -platform, else QT_QPA_PLATFORM (a list such as
// "wayland;xcb", each name perhaps with ":options"), else its own choice on Linux: X11, or
// Wayland in a Wayland session.
QStringList platformsTried(const DisplaySettings& s) {
    const QString chosen = s.platformOption.isEmpty() ? s.qtPlatform : s.platformOption;
    if (chosen.isEmpty()) {
        return {"xcb", "wayland"};
    }
    QStringList out;
    for (const QString& platform : chosen.split(';', Qt::SkipEmptyParts)) {
        out << platform.section(':', 0, 0).trimmed();
    }
    return out;
}

// The variable naming the display a system connects to; none for those that need no display
// (offscreen, minimal, vnc, eglfs, linuxfb).
QString displayVariableOf(const QString& platform) {
    if (platform == QLatin1String("xcb")) {
        return QStringLiteral("DISPLAY");
    }
    return platform.startsWith(QLatin1String("wayland")) ? QStringLiteral("WAYLAND_DISPLAY")
                                                         : QString();
}

QString displayOf(const DisplaySettings& s, const QString& variable) {
    return variable == QLatin1String("DISPLAY") ? s.x11Display : s.waylandDisplay;
}

QString messageFor(const QString& program, const QStringList& missing) {
    const bool one = missing.size() == 1;
    const QString english =
        one ? missing[0] + " is not set" : "neither " + missing.join(" nor ") + " is set";
    const QString chinese = one ? "未設定 " + missing[0] : missing.join(" 與 ") + " 都未設定";
    return QStringLiteral(
               "%1: no display to open the window on (%2). Run it in a desktop "
               "session, under Xvfb (xvfb-run), or without a screen with "
               "QT_QPA_PLATFORM=offscreen.\n"
               "%1：沒有可開啟視窗的顯示器（%3）。請在桌面環境中執行，或在 Xvfb 下執行"
               "（xvfb-run），或以 QT_QPA_PLATFORM=offscreen 在無螢幕下執行。\n")
        .arg(program, english, chinese);
}

}  // namespace

DisplaySettings displaySettings(int argc, char** argv) {
    DisplaySettings s{{},
                      qEnvironmentVariable("QT_QPA_PLATFORM"),
                      qEnvironmentVariable("DISPLAY"),
                      qEnvironmentVariable("WAYLAND_DISPLAY")};
    for (int i = 1; i + 1 < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("-platform") || arg == QLatin1String("--platform")) {
            s.platformOption = QString::fromLocal8Bit(argv[i + 1]);
        }
    }
    return s;
}

QString missingDisplayMessage(const QString& program, const DisplaySettings& settings) {
    QStringList missing;
    for (const QString& platform : platformsTried(settings)) {
        const QString variable = displayVariableOf(platform);
        if (variable.isEmpty() || !displayOf(settings, variable).isEmpty()) {
            return {};
        }
        if (!missing.contains(variable)) {
            missing << variable;
        }
    }
    // No system named at all (QT_QPA_PLATFORM=";"): Qt's own message says more.
    return missing.isEmpty() ? QString() : messageFor(program, missing);
}

bool refuseWithoutDisplay(const QString& program, int argc, char** argv) {
    const QString message = missingDisplayMessage(program, displaySettings(argc, argv));
    if (message.isEmpty()) {
        return false;
    }
    QTextStream(stderr) << message;
    return true;
}

}  // namespace kiv::window
