#include "app/menu/StatusMenu.h"

#include "foundation/DiagLog.h"
#include "app/ScreenIdentity.h"
#include "playback/PlayerPreferences.h"
#include "settings/AppSettings.h"
#include "settings/ColorConversion.h"
#include "settings/FontMapping.h"
#include "visuals/SymbolSet.h"

#include <QColorDialog>
#include <QCursor>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QSvgRenderer>
#include <QSystemTrayIcon>
#include <QWidgetAction>

using namespace status_menu;

namespace {

// The key equivalent "q" with the platform's command modifier (Ctrl here, Cmd on a Mac).
const QKeySequence quitShortcut(Qt::CTRL | Qt::Key_Q);

const QString noTrayLine = QStringLiteral("status menu: no system tray — run 'zuvik --menu' to open the menu");

// A 16 × 16 rounded square of the colour, drawn when the menu opens.
QIcon swatch(const Color& color, qreal devicePixelRatio)
{
    QPixmap pixmap(QSize(16, 16) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QGuiApplication::palette().color(QPalette::Mid), 1));
    painter.setBrush(toQColor(color));
    painter.drawRoundedRect(QRectF(1, 1, 14, 14).adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    return QIcon(pixmap);
}

// The microphone of the application's icon set, white on a dark disc, so it reads on light and on
// dark panels alike.
QIcon trayIconImage()
{
    constexpr int side = 64;
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x2B, 0x2F, 0x36));
    painter.drawEllipse(QRectF(2, 2, side - 4, side - 4));
    QImage glyph(side, side, QImage::Format_ARGB32_Premultiplied);
    glyph.fill(Qt::transparent);
    {
        QPainter glyphPainter(&glyph);
        QSvgRenderer svg(symbol_set::symbolResourcePath(QStringLiteral("music.mic")));
        svg.render(&glyphPainter, QRectF(side * 0.2, side * 0.2, side * 0.6, side * 0.6));
        glyphPainter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        glyphPainter.fillRect(glyph.rect(), Qt::white);
    }
    painter.drawImage(0, 0, glyph);
    painter.end();
    return QIcon(QPixmap::fromImage(image));
}

}  // namespace

StatusMenu::StatusMenu(AppSettings& settings, const PlayerRoster& players, StartAtLogin& startAtLogin,
                       UpdateFeed updateFeed, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_players(players)
    , m_menu(std::make_unique<QMenu>())
    , m_updateCheck(std::move(updateFeed.address), std::move(updateFeed.runningVersion), updateFeed.timeout)
{
    const MenuCommands commands{
        [this](ColorSlot slot) { pickColor(slot); }, [this](double delta) { Q_EMIT timingNudgeRequested(delta); },
        [this] { Q_EMIT timingResetRequested(); },   [this] { Q_EMIT rejectLyricsRequested(); },
        [this] { m_updateCheck.start(); },           [this] { Q_EMIT quitRequested(); },
    };
    for (const MenuItem& item : fixedItems(settings, startAtLogin, commands)) {
        QAction* action = makeAction(item, *m_menu);
        m_menu->addAction(action);
        m_entries.append({item, action});
    }
    refreshTrackItems();
    refreshRejectItem();
    connect(m_menu.get(), &QMenu::aboutToShow, this, &StatusMenu::refresh);
    connect(&m_updateCheck, &UpdateCheck::finished, this, &StatusMenu::showUpdateResult);
}

StatusMenu::~StatusMenu()
{
    if (m_updateDialog)
        delete m_updateDialog.data();
}

QAction* StatusMenu::makeAction(const MenuItem& item, QMenu& owner)
{
    QAction* action = nullptr;
    switch (item.kind) {
    case MenuItemKind::separator:
        action = new QAction(&owner);
        action->setSeparator(true);
        return action;
    case MenuItemKind::textSizeControl: {
        auto* widgetAction = new QWidgetAction(&owner);
        widgetAction->setDefaultWidget(makeTextSizeControl());
        action = widgetAction;
        break;
    }
    case MenuItemKind::submenu: {
        const bool sources = item.role == MenuItemRole::sources;
        QMenu* submenu = new QMenu(item.title, &owner);
        (sources ? m_sourcesMenu : m_playersMenu) = submenu;
        connect(submenu, &QMenu::aboutToShow, this,
                sources ? &StatusMenu::refreshSourceItems : &StatusMenu::refreshPlayerItems);
        action = submenu->menuAction();
        break;
    }
    case MenuItemKind::header:
    case MenuItemKind::action:
        action = new QAction(item.title, &owner);
        break;
    }
    action->setEnabled(item.kind != MenuItemKind::header);
    action->setCheckable(bool(item.isChecked));
    if (item.isChecked)
        action->setChecked(item.isChecked());
    if (item.titleFont)
        action->setFont(makeFont(*item.titleFont, fontTitlePointSize));
    if (item.quitsWithShortcut)
        action->setShortcut(quitShortcut);
    if (item.choose)
        connect(action, &QAction::triggered, this, item.choose);
    return action;
}

QWidget* StatusMenu::makeTextSizeControl()
{
    auto* control = new QWidget;  // owned by its QWidgetAction
    control->setFixedSize(250, 30);
    m_slider = new QSlider(Qt::Horizontal, control);
    m_slider->setGeometry(14, 4, 158, 22);
    m_slider->setRange(0, sliderSteps);
    m_slider->setTracking(true);  // every movement, not only the release
    m_slider->setValue(sliderValueFor(m_settings.textScale()));
    connect(m_slider, &QSlider::valueChanged, this,
            [this](int value) { m_settings.setTextScale(scaleForSliderValue(value)); });
    m_resetButton = new QPushButton(QStringLiteral("Reset"), control);
    m_resetButton->setGeometry(178, 3, 58, 24);
    QFont small = m_resetButton->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    m_resetButton->setFont(small);
    connect(m_resetButton, &QPushButton::clicked, this, &StatusMenu::resetTextScale);
    return control;
}

void StatusMenu::install()
{
    m_tray = new QSystemTrayIcon(trayIconImage(), this);
    m_tray->setToolTip(QStringLiteral("Zuvik"));
    m_tray->setContextMenu(m_menu.get());
    // A status item opens its menu on a plain click too.
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            popupAtPointer();
    });
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        DiagLog::log(noTrayLine);
    // Shown either way: a tray that starts later takes the icon in.
    m_tray->show();
}

void StatusMenu::popupAtPointer()
{
    m_menu->popup(QCursor::pos());
    m_menu->activateWindow();
}

void StatusMenu::refresh()
{
    if (m_slider) {
        const QSignalBlocker quiet(m_slider);
        m_slider->setValue(sliderValueFor(m_settings.textScale()));
    }
    refreshDisplayItems();
    refreshTrackItems();
    refreshPlayerItems();
    refreshSourceItems();
    refreshChecks(m_entries);
    const qreal ratio = m_menu->devicePixelRatio();
    for (const Entry& entry : std::as_const(m_entries)) {
        if (entry.item.swatch)
            entry.action->setIcon(swatch(m_settings.color(*entry.item.swatch), ratio));
    }
}

void StatusMenu::refreshChecks(const QList<Entry>& entries)
{
    for (const Entry& entry : entries) {
        if (entry.item.isChecked)
            entry.action->setChecked(entry.item.isChecked());
    }
}

void StatusMenu::refreshDisplayItems()
{
    for (qsizetype i = m_entries.size() - 1; i >= 0; --i) {
        if (m_entries[i].item.role == MenuItemRole::display)
            delete m_entries.takeAt(i).action;
    }
    const auto header = std::find_if(m_entries.begin(), m_entries.end(),
                                     [](const Entry& entry) { return entry.item.role == MenuItemRole::displayHeader; });
    qsizetype at = std::distance(m_entries.begin(), header) + 1;
    QAction* below = at < m_entries.size() ? m_entries[at].action : nullptr;
    QList<ScreenEntry> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append({displayIdOf(*screen), displayNameOf(*screen)});
    for (const MenuItem& item : displayItems(m_settings, screens)) {
        QAction* action = makeAction(item, *m_menu);
        m_menu->insertAction(below, action);
        m_entries.insert(at++, {item, action});
    }
}

void StatusMenu::refreshPlayerItems()
{
    if (m_playersMenu)
        rebuild(*m_playersMenu, m_playerEntries, playerItems(m_settings, m_players.playersSeen()));
}

void StatusMenu::refreshSourceItems()
{
    if (m_sourcesMenu)
        rebuild(*m_sourcesMenu, m_sourceEntries, sourceItems(m_settings));
}

void StatusMenu::rebuild(QMenu& submenu, QList<Entry>& entries, const QList<MenuItem>& items)
{
    for (const Entry& entry : std::as_const(entries))
        delete entry.action;
    entries.clear();
    for (const MenuItem& item : items) {
        QAction* action = makeAction(item, submenu);
        submenu.addAction(action);
        entries.append({item, action});
    }
}

void StatusMenu::setTrackAvailable(bool available)
{
    m_trackAvailable = available;
    refreshTrackItems();
}

void StatusMenu::refreshTrackItems()
{
    for (const Entry& entry : std::as_const(m_entries)) {
        if (entry.item.role == MenuItemRole::trackTiming)
            entry.action->setEnabled(m_trackAvailable);
    }
}

void StatusMenu::setRejectionState(RejectionState state)
{
    m_rejection = state;
    refreshRejectItem();
}

void StatusMenu::refreshRejectItem()
{
    for (const Entry& entry : std::as_const(m_entries)) {
        if (entry.item.role != MenuItemRole::rejectLyrics)
            continue;
        entry.action->setText(
            QStringView(m_rejection == RejectionState::noOtherMatch ? noOtherMatchTitle : rejectTitle).toString());
        entry.action->setEnabled(m_rejection == RejectionState::available);
    }
}

void StatusMenu::resetTextScale()
{
    m_settings.setTextScale(1.0);
    if (m_slider) {
        const QSignalBlocker quiet(m_slider);
        m_slider->setValue(sliderValueFor(1.0));
    }
}

void StatusMenu::pickColor(ColorSlot slot)
{
    m_activeColorSlot = slot;
    if (!m_colorPanel) {
        m_colorPanel = std::make_unique<QColorDialog>();
        // Qt's own panel: a platform dialog may report the colour only when it closes.
        m_colorPanel->setOptions(QColorDialog::ShowAlphaChannel | QColorDialog::NoButtons
                                 | QColorDialog::DontUseNativeDialog);
        m_colorPanel->setWindowModality(Qt::NonModal);
        connect(m_colorPanel.get(), &QColorDialog::currentColorChanged, this,
                [this](const QColor& color) { m_settings.setColor(fromQColor(color), *m_activeColorSlot); });
    }
    {
        // Showing the slot's colour is not a change of it.
        const QSignalBlocker quiet(m_colorPanel.get());
        m_colorPanel->setCurrentColor(toQColor(m_settings.color(slot)));
    }
    m_colorPanel->setWindowTitle(colorPanelTitle(slot));
    m_colorPanel->show();
    m_colorPanel->raise();
    m_colorPanel->activateWindow();
}

void StatusMenu::showUpdateResult(const UpdateCheckResult& result)
{
    if (m_updateDialog)
        m_updateDialog->close();
    const UpdateMessage message = updateMessage(result);
    const bool failed = result.kind == UpdateCheckResult::Kind::failed;
    auto* dialog = new QMessageBox(failed ? QMessageBox::Warning : QMessageBox::Information, QStringLiteral("Zuvik"),
                                   message.title, QMessageBox::Ok);
    dialog->setAttribute(Qt::WA_DeleteOnClose);  // owns itself from here on
    dialog->setWindowModality(Qt::NonModal);
    dialog->setTextFormat(Qt::RichText);
    dialog->setInformativeText(message.text);
    dialog->setTextInteractionFlags(Qt::TextBrowserInteraction);
    if (!message.releaseNotes.isEmpty())
        dialog->setDetailedText(message.releaseNotes);
    m_updateDialog = dialog;
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}
