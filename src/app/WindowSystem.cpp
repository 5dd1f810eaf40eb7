#include "app/WindowSystem.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace vorelle {

namespace {

struct HeldPlatformMessage {
    QtMsgType type;
    std::string category;
    QString text;
};

// Set before the application object is made, and only read meanwhile.
QtMessageHandler passPlatformMessagesTo = nullptr;
// A platform plugin may report from a thread of its own while it starts.
std::mutex heldPlatformMessagesLock;
std::vector<HeldPlatformMessage> heldPlatformMessages;  // guarded by heldPlatformMessagesLock

void HoldPlatformMessages(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type == QtFatalMsg) {
        // No platform plugin could start: every one needs a display here.
        std::fprintf(stderr,
                     "vorelle2: no display to open the window on (DISPLAY='%s', WAYLAND_DISPLAY='%s'); --help, "
                     "--version, --send and --plot need none\n",
                     qgetenv("DISPLAY").constData(), qgetenv("WAYLAND_DISPLAY").constData());
        std::_Exit(1);
    }
    if (context.category && std::strncmp(context.category, "qt.qpa.", 7) == 0) {
        const std::lock_guard lock(heldPlatformMessagesLock);
        heldPlatformMessages.push_back({type, context.category, text});
    } else {
        passPlatformMessagesTo(type, context, text);
    }
}

}  // namespace

std::unique_ptr<QApplication> OpenWindowSystem(int& argc, char** argv)
{
    passPlatformMessagesTo = qInstallMessageHandler(HoldPlatformMessages);
    auto application = std::make_unique<QApplication>(argc, argv);
    qInstallMessageHandler(passPlatformMessagesTo);
    const std::lock_guard lock(heldPlatformMessagesLock);
    for (const HeldPlatformMessage& held : heldPlatformMessages)
        passPlatformMessagesTo(held.type, QMessageLogContext(nullptr, 0, nullptr, held.category.c_str()), held.text);
    heldPlatformMessages.clear();
    return application;
}

}  // namespace vorelle
