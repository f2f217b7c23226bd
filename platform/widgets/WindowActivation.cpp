#include "WindowActivation.h"

#include <QGuiApplication>
#include <QWidget>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

#include <cstring>
#endif

namespace platform {
namespace {

const QString activationTokenKey = QStringLiteral("activation-token");
const QString startupIdKey = QStringLiteral("desktop-startup-id");

#if QT_CONFIG(xcb)
xcb_atom_t atomNamed(xcb_connection_t *connection, const char *name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// The startup-notification protocol: "remove: ID=…" sent to the root window in client messages
// of 20 bytes each, the first of type _NET_STARTUP_INFO_BEGIN, the message ending with a zero.
void endStartupSequence(const QString &startupId)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!x11 || !x11->connection())
        return;
    xcb_connection_t *connection = x11->connection();
    QString quoted = startupId;
    quoted.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
    const QByteArray message = "remove: ID=\"" + quoted.toUtf8() + "\"" + QByteArray(1, '\0');
    const xcb_atom_t first = atomNamed(connection, "_NET_STARTUP_INFO_BEGIN");
    const xcb_atom_t more = atomNamed(connection, "_NET_STARTUP_INFO");
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    constexpr qsizetype piece = 20;
    for (qsizetype at = 0; at < message.size(); at += piece) {
        xcb_client_message_event_t event{};
        event.response_type = XCB_CLIENT_MESSAGE;
        event.format = 8;
        event.window = root;
        event.type = at == 0 ? first : more;
        std::memcpy(event.data.data8, message.constData() + at,
                    size_t(qMin(piece, message.size() - at)));
        xcb_send_event(connection, 0, root, XCB_EVENT_MASK_PROPERTY_CHANGE,
                       reinterpret_cast<const char *>(&event));
    }
    xcb_flush(connection);
}
#else
void endStartupSequence(const QString &)
{}
#endif

} // namespace

ActivationToken ActivationToken::fromEnvironment()
{
    return {qEnvironmentVariable("XDG_ACTIVATION_TOKEN"),
            qEnvironmentVariable("DESKTOP_STARTUP_ID")};
}

ActivationToken ActivationToken::fromPlatformData(const QVariantMap &data)
{
    return {data.value(activationTokenKey).toString(), data.value(startupIdKey).toString()};
}

QVariantMap ActivationToken::platformData() const
{
    QVariantMap data;
    if (!activationToken.isEmpty())
        data.insert(activationTokenKey, activationToken);
    if (!startupId.isEmpty())
        data.insert(startupIdKey, startupId);
    return data;
}

void activateWindow(QWidget *window, const ActivationToken &token)
{
    const bool isWayland = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    if (window) {
        // Qt's Wayland windows take the token from the environment when they ask to be
        // activated, and remove it; without one a compositor lets no window take the focus.
        if (isWayland && !token.activationToken.isEmpty())
            qputenv("XDG_ACTIVATION_TOKEN", token.activationToken.toUtf8());
        window->raise();
        window->activateWindow();
    }
    if (QGuiApplication::platformName() == QLatin1String("xcb") && !token.startupId.isEmpty())
        endStartupSequence(token.startupId);
}

} // namespace platform
