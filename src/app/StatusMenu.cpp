#include "app/StatusMenu.h"

#include "foundation/DiagLog.h"
#include "app/AppDelegate.h"  // the displays as the delegate names them
#include "lyrics/TrackOffsets.h"
#include "settings/AppSettings.h"
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

// What an action carries besides its text and data, so the menu can be read back as items.
constexpr char tagProperty[] = "zuvikMenuTag";
constexpr char actionProperty[] = "zuvikMenuAction";
constexpr char kindProperty[] = "zuvikMenuKind";
constexpr char titleFontProperty[] = "zuvikTitleFont";

// The key equivalent "q" with the platform's command modifier (Ctrl here, Cmd on a Mac).
const QKeySequence quitShortcut(Qt::CTRL | Qt::Key_Q);

const QString noTrayLine = QStringLiteral("status menu: no system tray — run 'zuvik --menu' to open the menu");

QColor toQColor(const Color& color)
{
    return QColor::fromRgbF(float(color.red), float(color.green), float(color.blue), float(color.alpha));
}

Color fromQColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return {rgb.redF(), rgb.greenF(), rgb.blueF(), rgb.alphaF()};
}

int sliderValueFor(double scale)
{
    const double fraction = (scale - textScaleMinimum) / (textScaleMaximum - textScaleMinimum);
    return int(std::lround(std::clamp(std::isnan(fraction) ? 0.5 : fraction, 0.0, 1.0) * StatusMenu::sliderSteps));
}

double scaleForSliderValue(int value)
{
    return textScaleMinimum + (textScaleMaximum - textScaleMinimum) * value / StatusMenu::sliderSteps;
}

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

StatusMenu::StatusMenu(AppSettings& settings, UpdateFeed updateFeed, QObject* parent)
    : QObject(parent)
    , m_settings(settings)
    , m_menu(std::make_unique<QMenu>())
    , m_updateCheck(std::move(updateFeed.address), std::move(updateFeed.runningVersion), updateFeed.timeout)
{
    for (const MenuItemSpec& spec : fixedItems()) {
        if (spec.kind == MenuItemKind::separator)
            m_menu->addSeparator();
        else
            m_menu->addAction(makeAction(spec));
    }
    refreshTrackItems();
    refreshRejectItem();
    connect(m_menu.get(), &QMenu::aboutToShow, this, &StatusMenu::refresh);
    connect(m_menu.get(), &QMenu::triggered, this, &StatusMenu::trigger);
    connect(&m_updateCheck, &UpdateCheck::finished, this, &StatusMenu::showUpdateResult);
}

StatusMenu::~StatusMenu()
{
    if (m_updateDialog)
        delete m_updateDialog.data();
}

QAction* StatusMenu::makeAction(const MenuItemSpec& spec)
{
    QAction* action = nullptr;
    if (spec.kind == MenuItemKind::textSizeControl) {
        auto* widgetAction = new QWidgetAction(m_menu.get());
        widgetAction->setDefaultWidget(makeTextSizeControl());
        action = widgetAction;
    } else if (spec.kind == MenuItemKind::submenu) {
        m_playersMenu = new QMenu(spec.title, m_menu.get());
        connect(m_playersMenu, &QMenu::aboutToShow, this, &StatusMenu::refreshPlayerItems);
        action = m_playersMenu->menuAction();
    } else {
        action = new QAction(spec.title, m_menu.get());
    }
    action->setData(spec.represented);
    action->setProperty(tagProperty, spec.tag);
    action->setProperty(actionProperty, int(spec.action));
    action->setProperty(kindProperty, int(spec.kind));
    action->setEnabled(spec.kind != MenuItemKind::header);
    action->setCheckable(checkMark(spec.represented, MenuSettings{}).has_value());
    if (spec.titleFont) {
        action->setFont(makeFont(*spec.titleFont, fontTitlePointSize));
        action->setProperty(titleFontProperty, int(*spec.titleFont));
    }
    if (spec.keyEquivalent == u"q")
        action->setShortcut(quitShortcut);
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
    connect(m_slider, &QSlider::valueChanged, this, &StatusMenu::textScaleChanged);
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
    const MenuSettings current = currentMenuSettings();
    const qreal ratio = m_menu->devicePixelRatio();
    for (QAction* action : m_menu->actions()) {
        if (action->data().typeId() != QMetaType::QString)
            continue;
        if (const std::optional<bool> checked = checkMark(action->data(), current))
            action->setChecked(*checked);
        else if (const std::optional<ColorSlot> slot = colorSlotOf(action->data()))
            action->setIcon(swatch(m_settings.color(*slot), ratio));
    }
}

void StatusMenu::refreshDisplayItems()
{
    const QList<QAction*> before = m_menu->actions();
    for (QAction* action : before) {
        if (action->property(tagProperty).toInt() == displayItemTag) {
            m_menu->removeAction(action);
            delete action;
        }
    }
    const QList<QAction*> actions = m_menu->actions();
    const auto header = std::find_if(actions.begin(), actions.end(), [](const QAction* action) {
        return action->property(tagProperty).toInt() == displayHeaderTag;
    });
    if (header == actions.end())
        return;
    QAction* below = std::next(header) == actions.end() ? nullptr : *std::next(header);
    QList<ScreenEntry> screens;
    for (const QScreen* screen : QGuiApplication::screens())
        screens.append({::displayIdOf(*screen), displayNameOf(*screen)});
    const QSet<quint32>& disabled = m_settings.disabledDisplays();
    for (const ScreenEntry& screen : screens) {
        if (screen.displayId == 0)
            continue;
        QAction* action = makeAction(displayItem(screen));
        action->setChecked(!disabled.contains(screen.displayId));
        m_menu->insertAction(below, action);
    }
}

MenuSettings StatusMenu::currentMenuSettings() const
{
    return {m_settings.style(),           m_settings.lyricFont(),        m_settings.autoSyncColors(),
            m_settings.keepScreenAwake(), m_settings.showWhenUnlocked(), m_settings.disabledDisplays(),
            m_settings.playerPreferences()};
}

void StatusMenu::refreshPlayerItems()
{
    if (!m_playersMenu)
        return;
    for (QAction* action : m_playersMenu->actions()) {
        m_playersMenu->removeAction(action);
        delete action;
    }
    const MenuSettings current = currentMenuSettings();
    for (const MenuItemSpec& spec : playerItems(PlayerRoster::shared().playersSeen())) {
        QAction* action = makeAction(spec);
        action->setParent(m_playersMenu);
        if (const std::optional<bool> checked = checkMark(spec.represented, current))
            action->setChecked(*checked);
        m_playersMenu->addAction(action);
    }
}

void StatusMenu::togglePlayer(const QVariant& represented)
{
    if (const std::optional<QString> player = playerOf(represented))
        m_settings.setPlayerPreferences(m_settings.playerPreferences().toggledFollowing(*player));
}

void StatusMenu::setTrackAvailable(bool available)
{
    m_trackAvailable = available;
    refreshTrackItems();
}

void StatusMenu::refreshTrackItems()
{
    for (QAction* action : m_menu->actions()) {
        if (action->property(tagProperty).toInt() == trackItemTag)
            action->setEnabled(m_trackAvailable);
    }
}

void StatusMenu::setRejectionState(RejectionState state)
{
    m_rejection = state;
    refreshRejectItem();
}

void StatusMenu::refreshRejectItem()
{
    for (QAction* action : m_menu->actions()) {
        if (action->property(tagProperty).toInt() != rejectItemTag)
            continue;
        action->setText(QStringView(m_rejection == RejectionState::noOtherMatch ? noOtherMatchTitle : rejectTitle).toString());
        action->setEnabled(m_rejection == RejectionState::available);
    }
}

QList<MenuItemSpec> StatusMenu::items() const
{
    QList<MenuItemSpec> items;
    for (const QAction* action : m_menu->actions()) {
        MenuItemSpec spec;
        spec.kind = action->isSeparator() ? MenuItemKind::separator : MenuItemKind(action->property(kindProperty).toInt());
        spec.title = action->text();
        spec.action = MenuAction(action->property(actionProperty).toInt());
        spec.represented = action->data();
        spec.tag = action->property(tagProperty).toInt();
        if (!action->shortcut().isEmpty() && action->shortcut() == quitShortcut)
            spec.keyEquivalent = QStringLiteral("q");
        if (const QVariant font = action->property(titleFontProperty); font.isValid())
            spec.titleFont = LyricFont(font.toInt());
        items.append(spec);
    }
    return items;
}

void StatusMenu::trigger(QAction* action)
{
    const QVariant represented = action->data();
    switch (MenuAction(action->property(actionProperty).toInt())) {
    case MenuAction::none:
        return;
    case MenuAction::pickStyle:
        return pickStyle(represented);
    case MenuAction::toggleKeepAwake:
        return toggleKeepAwake();
    case MenuAction::toggleUnlockedVisibility:
        return toggleUnlockedVisibility();
    case MenuAction::pickFont:
        return pickFont(represented);
    case MenuAction::toggleDisplay:
        return toggleDisplay(represented);
    case MenuAction::toggleAutoSync:
        return toggleAutoSync();
    case MenuAction::pickColor:
        return pickColor(represented);
    case MenuAction::resetColors:
        return resetColors();
    case MenuAction::checkForUpdates:
        return checkForUpdates();
    case MenuAction::quit:
        Q_EMIT quitRequested();
        return;
    case MenuAction::lyricsEarlier:
        Q_EMIT timingNudgeRequested(-TrackOffsets::step);
        return;
    case MenuAction::lyricsLater:
        Q_EMIT timingNudgeRequested(TrackOffsets::step);
        return;
    case MenuAction::resetTiming:
        Q_EMIT timingResetRequested();
        return;
    case MenuAction::togglePlayer:
        return togglePlayer(represented);
    case MenuAction::rejectLyrics:
        Q_EMIT rejectLyricsRequested();
        return;
    }
}

void StatusMenu::pickStyle(const QVariant& represented)
{
    if (const std::optional<LyricStyle> style = styleOf(represented))
        m_settings.setStyle(*style);
}

void StatusMenu::toggleKeepAwake()
{
    m_settings.setKeepScreenAwake(!m_settings.keepScreenAwake());
}

void StatusMenu::toggleUnlockedVisibility()
{
    m_settings.setShowWhenUnlocked(!m_settings.showWhenUnlocked());  // the delegate follows the setting
}

void StatusMenu::pickFont(const QVariant& represented)
{
    if (const std::optional<LyricFont> font = fontOf(represented))
        m_settings.setLyricFont(*font);
}

void StatusMenu::textScaleChanged(int sliderValue)
{
    m_settings.setTextScale(scaleForSliderValue(sliderValue));
}

void StatusMenu::resetTextScale()
{
    m_settings.setTextScale(1.0);
    if (m_slider) {
        const QSignalBlocker quiet(m_slider);
        m_slider->setValue(sliderValueFor(1.0));
    }
}

void StatusMenu::toggleDisplay(const QVariant& represented)
{
    const std::optional<quint32> id = status_menu::displayIdOf(represented);
    if (!id)
        return;
    m_settings.toggleDisplay(*id);  // the delegate follows the setting
}

void StatusMenu::toggleAutoSync()
{
    m_settings.setAutoSyncColors(!m_settings.autoSyncColors());
}

void StatusMenu::pickColor(const QVariant& represented)
{
    const std::optional<ColorSlot> slot = colorSlotOf(represented);
    if (!slot)
        return;
    m_activeColorSlot = *slot;
    if (!m_colorPanel) {
        m_colorPanel = std::make_unique<QColorDialog>();
        // Qt's own panel: a platform dialog may report the colour only when it closes.
        m_colorPanel->setOptions(QColorDialog::ShowAlphaChannel | QColorDialog::NoButtons
                                 | QColorDialog::DontUseNativeDialog);
        m_colorPanel->setWindowModality(Qt::NonModal);
        connect(m_colorPanel.get(), &QColorDialog::currentColorChanged, this,
                [this](const QColor& color) { colorPanelChanged(fromQColor(color)); });
    }
    {
        // Showing the slot's colour is not a change of it.
        const QSignalBlocker quiet(m_colorPanel.get());
        m_colorPanel->setCurrentColor(toQColor(m_settings.color(*slot)));
    }
    m_colorPanel->setWindowTitle(colorPanelTitle(*slot));
    m_colorPanel->show();
    m_colorPanel->raise();
    m_colorPanel->activateWindow();
}

void StatusMenu::colorPanelChanged(const Color& color)
{
    if (m_activeColorSlot)
        m_settings.setColor(color, *m_activeColorSlot);
}

void StatusMenu::resetColors()
{
    m_settings.resetColors();
}

void StatusMenu::checkForUpdates()
{
    m_updateCheck.start();
}

void StatusMenu::showUpdateResult(const UpdateCheckResult& result)
{
    if (m_updateDialog)
        m_updateDialog->close();
    const UpdateMessage message = updateMessage(result);
    const bool failed = result.kind == UpdateCheckResult::Kind::failed;
    auto* dialog = new QMessageBox(failed ? QMessageBox::Warning : QMessageBox::Information,
                                   QStringLiteral("Zuvik"), message.title, QMessageBox::Ok);
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
