#include "ui/application.h"

#include "calc/errors.h"
#include "calc/number_text.h"
#include "report/preview/prompts.h"
#include "resources/pictures.h"

#include <QEvent>
#include <QFont>
#include <QIcon>
#include <QIconEngine>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>
#include <QStyleFactory>
#include <QStyleOption>
#include <QStyleOptionTabWidgetFrame>

#include <memory>

namespace pelorin {

QString error_box_text(const QString &message)
{
    QString text = message;
    if (!text.isEmpty() && text.back() > QLatin1Char('.'))
        text += QLatin1Char('.');
    return text;
}

void show_current_error(Prompts &prompts, QWidget *window)
{
    QString message;
    try {
        throw;
    } catch (const Error &error) {
        message = error.message();
    } catch (const std::exception &error) {
        message = QString::fromUtf8(error.what());
    } catch (...) {
        message = QStringLiteral("Unknown error");
    }
    prompts.message(window ? window->window() : QApplication::activeWindow(), application_title,
                    error_box_text(message), Prompts::Icon::Error);
}

namespace {

// A standard icon of the style that is asked of the style only when it is
// first drawn or measured. The style makes the tool bar extension icons from
// image files, and reading the first image file makes Qt look through every
// image and icon plugin installed; the menu bar asks for its extension
// button's icon when it is built, though the button only shows when the menu
// does not fit on its line.
class DeferredStyleIcon : public QIconEngine
{
public:
    DeferredStyleIcon(const QStyle *style, QStyle::StandardPixmap which, const QStyleOption *option,
                      const QWidget *widget)
        : m_style(const_cast<QStyle *>(style)), m_which(which),
          m_widget(const_cast<QWidget *>(widget))
    {
        if (option)
            m_option = std::make_shared<QStyleOption>(*option);
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    bool isNull() override { return icon().isNull(); }
    QString key() const override { return QStringLiteral("pelorin.deferred-style-icon"); }
    QIconEngine *clone() const override { return new DeferredStyleIcon(*this); }

private:
    const QIcon &icon()
    {
        if (!m_resolved) {
            // A style replaced since leaves the icon to the current one.
            const QStyle *style = m_style ? m_style.data() : QApplication::style();
            m_resolved = std::make_shared<QIcon>(
                style->standardIcon(m_which, m_option.get(), m_widget.data()));
        }
        return *m_resolved;
    }

    QPointer<QStyle> m_style;
    QStyle::StandardPixmap m_which;
    std::shared_ptr<QStyleOption> m_option;
    QPointer<QWidget> m_widget;
    std::shared_ptr<QIcon> m_resolved; // shared by clones once resolved
};

// The classic "Windows" style, with the tool bar extension icons deferred
// and the main window's pages 4 pixels inside the page control's frame and
// below its tab row (629 x 386 each in the 637 x 414 control).
class ApplicationStyle : public QProxyStyle
{
public:
    ApplicationStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Windows"))) {}

    QRect subElementRect(SubElement element, const QStyleOption *option,
                         const QWidget *widget) const override
    {
        const auto *frame = qstyleoption_cast<const QStyleOptionTabWidgetFrame *>(option);
        if (element != SE_TabWidgetTabContents || !frame || frame->shape != QTabBar::RoundedNorth)
            return QProxyStyle::subElementRect(element, option, widget);
        constexpr int inset = 4;
        const QRect pane = QProxyStyle::subElementRect(SE_TabWidgetTabPane, option, widget);
        return QRect(QPoint(pane.left() + inset, frame->tabBarSize.height() + inset),
                     QPoint(pane.right() - inset, pane.bottom() - inset));
    }

    QIcon standardIcon(StandardPixmap which, const QStyleOption *option,
                       const QWidget *widget) const override
    {
        if (which == SP_ToolBarHorizontalExtensionButton ||
            which == SP_ToolBarVerticalExtensionButton)
            return QIcon(new DeferredStyleIcon(baseStyle(), which, option, widget));
        return QProxyStyle::standardIcon(which, option, widget);
    }
};

} // namespace

void centre_on_first_show(QWidget &window, bool &placed)
{
    if (placed)
        return;
    placed = true;
    if (const QScreen *target = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(target->availableGeometry().center());
        window.move(frame.topLeft());
    }
}

void set_up_application()
{
    // Only the application name carries the title: a display name would be
    // appended to every window caption ("Error — PELORIN").
    QCoreApplication::setApplicationName(application_title);
    QCoreApplication::setApplicationVersion(QStringLiteral(PELORIN_VERSION));

    // The windows are laid out in pixels for the classic desktop controls:
    // the classic style draws the same flat bevels, and it paints without the
    // gradients that make the default style slow to repaint the result grid.
    QApplication::setStyle(new ApplicationStyle);

    // The windows are laid out for "MS Sans Serif" 8 pt; its metric stand-in
    // is fixed here rather than left to the font configuration.
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    QApplication::setFont(font);

    read_decimal_separator();
    QApplication::setWindowIcon(load_icon(QStringLiteral("flask.png")));
    // The desktop entry the program is installed with (pelorin.desktop): on
    // Wayland the window is matched to it by this name, for its icon and title.
    QGuiApplication::setDesktopFileName(QStringLiteral("pelorin"));
}

Application::Application(int &argc, char **argv, Prompts &prompts)
    : QApplication(argc, argv), m_prompts(prompts)
{
    set_up_application();
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        show_current_error(m_prompts);
        return false;
    }
}

bool Application::event(QEvent *event)
{
    // The user changed the regional settings: numbers follow the new separator.
    if (event->type() == QEvent::LocaleChange)
        read_decimal_separator();
    return QApplication::event(event);
}

} // namespace pelorin
