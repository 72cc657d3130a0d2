#include "startup_failure.h"

#include <QGuiApplication>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace crossing::startup {

namespace {

struct HeldMessage {
    QtMsgType type;
    std::string category;
    std::string text;
    std::string formatted; // as Qt would have printed it
};

// A platform plugin Qt tried and gave up on, with what was said about it.
struct PluginAttempt {
    std::string plugin;
    bool installed;
    std::vector<std::string> reasons;
};

std::mutex heldMutex;
std::vector<HeldMessage> heldMessages;
std::string requestedPlatform;

bool isOption(const char* argument, std::string_view name)
{
    std::string_view given(argument);
    if (given.substr(0, 2) == "--")
        given.remove_prefix(1); // Qt reads --platform as -platform
    return given.size() == name.size() + 1 && given[0] == '-' && given.substr(1) == name;
}

bool isSet(const char* variable)
{
    const char* value = std::getenv(variable);
    return value != nullptr && *value != '\0';
}

// The platform asked for by -platform or QT_QPA_PLATFORM, without the options
// after its colon; empty when none, or a list, was asked for.
std::string platformAskedFor(int argc, char* argv[])
{
    std::string asked;
    for (int i = 1; i + 1 < argc; ++i) {
        if (isOption(argv[i], "platform"))
            asked = argv[i + 1];
    }
    if (asked.empty() && isSet("QT_QPA_PLATFORM"))
        asked = std::getenv("QT_QPA_PLATFORM");
    if (asked.find(';') != std::string::npos)
        return {};
    return asked.substr(0, asked.find(':'));
}

std::string trimmed(std::string text)
{
    for (char& c : text) {
        if (c == '\n' || c == '\r' || c == '\t')
            c = ' ';
    }
    const auto first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

std::string joined(const std::vector<std::string>& parts, std::string_view separator)
{
    std::string text;
    for (const std::string& part : parts) {
        if (!text.empty())
            text += separator;
        text += part;
    }
    return text;
}

std::string inBrackets(const std::vector<std::string>& reasons)
{
    return reasons.empty() ? std::string() : " (" + joined(reasons, "; ") + ")";
}

bool startsWith(std::string_view text, std::string_view start)
{
    return text.substr(0, start.size()) == start;
}

std::string firstQuoted(const std::string& text)
{
    const auto open = text.find('"');
    const auto close = open == std::string::npos ? open : text.find('"', open + 1);
    return close == std::string::npos ? std::string() : text.substr(open + 1, close - open - 1);
}

// Warnings can say why a platform failed; QStandardPaths' note that it picked
// a runtime folder of its own never does.
bool isReason(const HeldMessage& message)
{
    return message.type != QtDebugMsg && message.type != QtInfoMsg
           && !startsWith(message.text, "QStandardPaths:") && !trimmed(message.text).empty();
}

// Qt 6 closes its account of each platform plugin it could not use with a
// line in the category qt.qpa.plugin; what came before it is the plugin's
// own reason. Warnings after the last such line stay in `unclaimed`.
std::vector<PluginAttempt> pluginAttempts(std::vector<std::string>& unclaimed)
{
    std::vector<PluginAttempt> attempts;
    for (const HeldMessage& message : heldMessages) {
        const bool missing = startsWith(message.text, "Could not find the Qt platform plugin");
        const bool failed = startsWith(message.text, "Could not load the Qt platform plugin");
        if (message.category == "qt.qpa.plugin" && (missing || failed)) {
            attempts.push_back({firstQuoted(message.text), failed, unclaimed});
            unclaimed.clear();
        } else if (isReason(message)) {
            unclaimed.push_back(trimmed(message.text));
        }
    }
    return attempts;
}

// The plugins Qt lists after giving up on all it tried.
std::string installedPlugins(const std::string& fatal)
{
    constexpr std::string_view kListStart = "Available platform plugins are: ";
    const auto start = fatal.find(kListStart);
    if (start == std::string::npos)
        return {};
    const std::string list = fatal.substr(start + kListStart.size());
    return trimmed(list.substr(0, list.find_first_of(".\n")));
}

std::string describe(const PluginAttempt& attempt, const std::string& installed)
{
    const std::string plugin = "\"" + attempt.plugin + "\"";
    if (attempt.installed)
        return "Qt's " + plugin + " platform plugin could not start" + inBrackets(attempt.reasons);
    if (startsWith(attempt.plugin, "wayland"))
        return "Qt's " + plugin
               + " platform plugin is not installed (on Debian it comes with the package qt6-wayland)";
    return "Qt has no platform plugin " + plugin + (installed.empty() ? "" : " (it has " + installed + ")");
}

std::string fatalCause(const std::string& fatal)
{
    std::vector<std::string> unclaimed;
    const std::vector<PluginAttempt> attempts = pluginAttempts(unclaimed);
    if (attempts.empty()) {
        // Qt stopped inside a platform it had started, or while opening the window.
        unclaimed.push_back(trimmed(fatal));
        const std::string platform =
            requestedPlatform.empty() ? std::string() : "'s \"" + requestedPlatform + "\" platform";
        return "Qt" + platform + " stopped" + inBrackets(unclaimed);
    }
    const std::string installed = installedPlugins(fatal);
    std::vector<std::string> causes;
    for (const PluginAttempt& attempt : attempts)
        causes.push_back(describe(attempt, installed));
    return joined(causes, "; ");
}

// One line: the program, what failed, why.
void sayCannotOpen(const std::string& cause)
{
    std::string sentence = "rivercrossing: cannot open its window: " + trimmed(cause);
    if (std::string_view(".!?").find(sentence.back()) == std::string_view::npos)
        sentence += '.';
    std::fprintf(stderr, "%s\n", sentence.c_str());
}

void holdMessage(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    const std::lock_guard lock(heldMutex);
    if (type == QtFatalMsg) {
        sayCannotOpen(fatalCause(message.toStdString()));
        std::_Exit(EXIT_FAILURE);
    }
    heldMessages.push_back({type, context.category != nullptr ? context.category : "", message.toStdString(),
                            qFormatLogMessage(type, context, message).toStdString()});
}

} // namespace

bool displayNamed([[maybe_unused]] int argc, [[maybe_unused]] char* argv[])
{
    // Only X11 and Wayland are found through the environment; macOS, Windows,
    // Android, browsers and QNX always have their display at hand.
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN) && !defined(Q_OS_ANDROID) && !defined(Q_OS_WASM)             \
    && !defined(Q_OS_QNX)
    if (isSet("DISPLAY") || isSet("WAYLAND_DISPLAY") || isSet("QT_QPA_PLATFORM"))
        return true;
    for (int i = 1; i < argc; ++i) {
        if (isOption(argv[i], "platform") || isOption(argv[i], "display"))
            return true;
    }
    std::fputs("rivercrossing: cannot open its window because no display is set "
               "(neither DISPLAY nor WAYLAND_DISPLAY).\n",
               stderr);
    return false;
#else
    return true;
#endif
}

void holdQtMessages(int argc, char* argv[])
{
    requestedPlatform = platformAskedFor(argc, argv);
    qInstallMessageHandler(holdMessage);
}

void requireScreen()
{
    if (!QGuiApplication::screens().isEmpty())
        return;
    const std::lock_guard lock(heldMutex);
    std::vector<std::string> reasons;
    for (const HeldMessage& message : heldMessages) {
        if (isReason(message))
            reasons.push_back(trimmed(message.text));
    }
    sayCannotOpen("Qt's \"" + QGuiApplication::platformName().toStdString() + "\" platform found no screen"
                  + inBrackets(reasons));
    // As after a fatal message: the half-started platform is not torn down
    // (Qt's framebuffer platform leaves its input devices behind if it is).
    std::_Exit(EXIT_FAILURE);
}

void releaseQtMessages()
{
    qInstallMessageHandler(nullptr);
    const std::lock_guard lock(heldMutex);
    for (const HeldMessage& message : heldMessages)
        std::fprintf(stderr, "%s\n", message.formatted.c_str());
    heldMessages.clear();
}

} // namespace crossing::startup
