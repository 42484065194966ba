#include "managers/CurrentViewPage.h"

#include "browser/BrowserView.h"
#include "core/AutoRefreshText.h"
#include "core/NavigationLog.h"
#include "core/OptionsPages.h"
#include "core/SettingsStore.h"
#include "managers/OptionsHost.h"
#include "ui/ColorButton.h"
#include "ui/MessageBox.h"

#include <QCheckBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

// --- SpinEdit ---------------------------------------------------------------------------

SpinEdit::SpinEdit(int minimum, int maximum, QWidget *parent)
    : QWidget(parent), m_minimum(minimum), m_maximum(maximum)
{
    m_edit = new QLineEdit(this);
    m_edit->setMaxLength(12);
    m_edit->setFixedWidth(m_edit->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    m_edit->installEventFilter(this);
    m_up = new QToolButton(this);
    m_down = new QToolButton(this);
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    for (QToolButton *b : {m_up, m_down}) {
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRepeat(true);
        b->setFixedSize(16, 11);
    }
    connect(m_up, &QToolButton::clicked, this, [this] { step(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { step(-1); });
    auto *arrows = new QVBoxLayout;
    arrows->setSpacing(0);
    arrows->addWidget(m_up);
    arrows->addWidget(m_down);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(m_edit);
    layout->addLayout(arrows);
    setFocusProxy(m_edit);
}

QString SpinEdit::text() const
{
    return m_edit->text();
}

void SpinEdit::setValue(int value)
{
    m_edit->setText(QString::number(value));
}

void SpinEdit::step(int by)
{
    const corvane::IntegerField field = corvane::readIntegerField(text().toStdString(), m_minimum, m_maximum);
    const int from = field.value.value_or(m_minimum);
    setValue(std::clamp(from + by, m_minimum, m_maximum));
}

void SpinEdit::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        m_up->setEnabled(isEnabled());
        m_down->setEnabled(isEnabled());
    }
}

bool SpinEdit::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            step(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// --- the page ---------------------------------------------------------------------------

CurrentViewPage::CurrentViewPage(OptionsHost &host, QWidget *parent) : OptionsPage(host, parent)
{
    auto *refresh = new QGroupBox(QStringLiteral("AutoRefresh"), this);
    m_autoRefresh = new QCheckBox(QStringLiteral("Use AutoRefresh (Alt+&P)"), refresh);
    m_minutes = new SpinEdit(0, corvane::kAutoRefreshMaxMinutes, refresh);
    m_seconds = new SpinEdit(0, corvane::kAutoRefreshMaxSeconds, refresh);
    auto *minutesLabel = new QLabel(QStringLiteral("&Minutes:"), refresh);
    auto *secondsLabel = new QLabel(QStringLiteral("&Seconds:"), refresh);
    minutesLabel->setBuddy(m_minutes->edit());
    secondsLabel->setBuddy(m_seconds->edit());
    auto *refreshLayout = new QGridLayout(refresh);
    refreshLayout->addWidget(m_autoRefresh, 0, 0, 1, 5);
    refreshLayout->addWidget(minutesLabel, 1, 0);
    refreshLayout->addWidget(m_minutes, 1, 1);
    refreshLayout->addItem(new QSpacerItem(16, 1), 1, 2);
    refreshLayout->addWidget(secondsLabel, 1, 3);
    refreshLayout->addWidget(m_seconds, 1, 4);
    refreshLayout->setColumnStretch(5, 1);

    auto *border = new QGroupBox(QStringLiteral("ActiveBorder"), this);
    m_activeBorder = new QCheckBox(QStringLiteral("Use &ActiveBorder"), border);
    m_view3D = new QCheckBox(QStringLiteral("View as &3D"), border);
    m_defaultColor = new QPushButton(QStringLiteral("&Default color"), border);
    m_defaultColor->setAutoDefault(false);
    m_color = new ColorButton(border);
    auto *colorLabel = new QLabel(QStringLiteral("&Color:"), border);
    colorLabel->setBuddy(m_color);
    auto *colorRow = new QHBoxLayout;
    colorRow->addWidget(colorLabel);
    colorRow->addWidget(m_color);
    colorRow->addSpacing(12);
    colorRow->addWidget(m_defaultColor);
    colorRow->addStretch(1);
    auto *borderLayout = new QVBoxLayout(border);
    borderLayout->addWidget(m_activeBorder);
    borderLayout->addWidget(m_view3D);
    borderLayout->addLayout(colorRow);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(refresh);
    layout->addWidget(border);
    layout->addStretch(1);

    connect(m_autoRefresh, &QCheckBox::toggled, this, &CurrentViewPage::enableControls);
    connect(m_activeBorder, &QCheckBox::toggled, this, &CurrentViewPage::enableControls);
    connect(m_defaultColor, &QPushButton::clicked, this, [this] { m_color->setColor(makeRgb(0, 255, 0)); });
}

BrowserView *CurrentViewPage::view() const
{
    return m_view;
}

void CurrentViewPage::initialize()
{
    const SettingsStore &s = m_host.settings();
    m_view = m_host.activeView();
    m_hadView = m_view != nullptr;
    bool autoRefresh = false;
    if (m_view) {
        m_minutesValue = m_view->autoRefreshMinutes();
        m_secondsValue = m_view->autoRefreshSeconds();
        autoRefresh = m_view->autoRefreshOn();
    }
    m_autoRefresh->setChecked(autoRefresh);
    m_autoRefresh->setEnabled(m_hadView);
    m_minutes->setValue(m_minutesValue);
    m_seconds->setValue(m_secondsValue);
    m_color->setColor(s.viewRgb());
    m_view3D->setChecked(s.viewBorder3D() != 0);
    m_activeBorder->setChecked(s.viewBorder3DEnabled() != 0);
    enableControls();
}

void CurrentViewPage::enableControls()
{
    const bool interval = m_hadView && m_autoRefresh->isChecked();
    m_minutes->setEnabled(interval);
    m_seconds->setEnabled(interval);
    const bool border = m_activeBorder->isChecked();
    m_view3D->setEnabled(border);
    m_defaultColor->setEnabled(border);
    m_color->setEnabled(border);
}

bool CurrentViewPage::leave()
{
    for (SpinEdit *field : {m_minutes, m_seconds}) {
        const int max = field == m_minutes ? corvane::kAutoRefreshMaxMinutes : corvane::kAutoRefreshMaxSeconds;
        const corvane::IntegerField read = corvane::readIntegerField(field->text().toStdString(), 0, max);
        if (read.message) {
            showUserMessage(this, *read.message);
            field->edit()->setFocus();
            field->edit()->selectAll();
            return false;
        }
        (field == m_minutes ? m_minutesValue : m_secondsValue) = *read.value;
    }
    return true;
}

void CurrentViewPage::ok()
{
    SettingsStore &s = m_host.settings();
    // The window may have closed while the sheet was up: then only the
    // border settings remain to store.
    if (BrowserView *view = m_view) {
        if (view->autoRefreshTimerActive())
            view->killAutoRefreshTimer();
        const int minutes = m_minutesValue;
        const int seconds = corvane::autoRefreshAppliedSeconds(minutes, m_secondsValue);
        const bool on = m_autoRefresh->isChecked();
        view->setAutoRefresh(minutes, seconds, on);
        if (on) {
            view->startAutoRefreshTimer();
            m_host.log().write(corvane::autoRefreshSetLogLine(minutes, seconds));
        }
    }
    s.setViewRgb(m_color->color() == kAutomaticColour ? makeRgb(0, 255, 0) : m_color->color());
    s.setViewBorder3D(m_view3D->isChecked() ? 1 : 0);
    s.setViewBorder3DEnabled(m_activeBorder->isChecked() ? 1 : 0);
    m_host.applyActiveBorder();
}
