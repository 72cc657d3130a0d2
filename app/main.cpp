// Start-up: the application, its one window and the event loop. Without a
// display the program says so in one sentence and exits with status 1, rather
// than printing Qt's plugin diagnostics and aborting with a core dump.
#include "crossing_form.h"
#include "toolkit_translation.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kNoDisplaySet = "rivercrossing: cannot open its window because no display is set "
                                      "(neither DISPLAY nor WAYLAND_DISPLAY).\n";
constexpr const char* kNoDisplayReached =
    "rivercrossing: cannot open its window because no display could be opened.\n";

bool isSet(const char* variable)
{
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

bool displayNamed(int argc, char* argv[])
{
    if (isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "-display") == 0)
            return true;
    }
    return false;
}

// What Qt logs while it connects to the display is held back until the
// connection has either worked (then it is shown) or failed for good (then
// the user reads one sentence instead).
std::vector<std::string>& heldMessages()
{
    static std::vector<std::string> messages;
    return messages;
}

void holdStartupMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (type == QtFatalMsg) {
        std::fputs(kNoDisplayReached, stderr);
        std::_Exit(EXIT_FAILURE);
    }
    heldMessages().push_back(qFormatLogMessage(type, context, message).toStdString());
}

void releaseStartupMessages()
{
    qInstallMessageHandler(nullptr);
    for (const std::string& message : heldMessages())
        std::fprintf(stderr, "%s\n", message.c_str());
    heldMessages().clear();
}

} // namespace

int main(int argc, char* argv[])
{
    if (!displayNamed(argc, argv)) {
        std::fputs(kNoDisplaySet, stderr);
        return EXIT_FAILURE;
    }
    qInstallMessageHandler(holdStartupMessage);
    QApplication app(argc, argv);
    releaseStartupMessages();

    QApplication::setApplicationName(QStringLiteral("rivercrossing"));
    QApplication::setApplicationVersion(QStringLiteral(CROSSING_VERSION));
    QApplication::setOrganizationName(QStringLiteral("The River Crossing developers"));
    QApplication::setOrganizationDomain(QStringLiteral("example.org")); // reversed, plus the name: the app id
    QApplication::setDesktopFileName(QStringLiteral(CROSSING_APP_ID));
    QApplication::setStyle(QStringLiteral("Fusion")); // the same look on every desktop
    QApplication::setWindowIcon(crossing::programIcon());
    crossing::installToolkitTranslation(app); // without it, Qt's own texts stay English

    crossing::CrossingForm form;
    form.show();
    return app.exec();
}
