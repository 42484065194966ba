#include "managers/SecurityPage.h"

#include "core/SettingsStore.h"
#include "managers/OptionsHost.h"
#include "ui/MessageBox.h"

#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace {

// What a placeholder holds: characters nobody types, shown as dots.
const QChar kPlaceholderChar(0xE000);
constexpr int kPlaceholderLength = 8;

} // namespace

// --- SecretEdit -------------------------------------------------------------------------

SecretEdit::SecretEdit(QWidget *parent) : QLineEdit(parent)
{
    setEchoMode(QLineEdit::Password);
    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (!m_placeholder)
            return;
        // The first edit: what remains is what the user typed.
        m_placeholder = false;
        QString typed = text;
        typed.remove(kPlaceholderChar);
        setText(typed);
    });
}

void SecretEdit::showStoredPlaceholder()
{
    setText(QString(kPlaceholderLength, kPlaceholderChar));
    m_placeholder = true;
}

corvane::PasswordField SecretEdit::field() const
{
    if (m_placeholder)
        return {std::string(), true};
    return {text().toStdString(), false};
}

// --- the page ---------------------------------------------------------------------------

SecurityPage::SecurityPage(OptionsHost &host, QWidget *parent) : OptionsPage(host, parent)
{
    m_minimize = new QComboBox(this);
    m_minimize->addItem(QString::fromUtf8(corvane::kMinimizeToTaskbar));
    m_minimize->addItem(QString::fromUtf8(corvane::kMinimizeToTray));
    auto *minimizeLabel = new QLabel(QStringLiteral("Minimi&ze to:"), this);
    minimizeLabel->setBuddy(m_minimize);
    m_noTray = new QLabel(QString::fromUtf8(corvane::kNoTrayNote), this);
    m_noTray->setWordWrap(true);
    m_noTray->setVisible(false);

    m_group = new QGroupBox(QStringLiteral("Maximize with authentication"), this);
    m_password = new SecretEdit(m_group);
    m_confirmation = new SecretEdit(m_group);
    auto *form = new QFormLayout(m_group);
    form->addRow(QStringLiteral("&Password:"), m_password);
    form->addRow(QStringLiteral("C&onfirm password:"), m_confirmation);

    auto *row = new QHBoxLayout;
    row->addWidget(minimizeLabel);
    row->addWidget(m_minimize);
    row->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_noTray);
    layout->addWidget(m_group);
    layout->addStretch(1);

    connect(m_minimize, &QComboBox::currentIndexChanged, this, &SecurityPage::enableEdits);
}

void SecurityPage::initialize()
{
    SettingsStore &s = m_host.settings();
    if (s.hasPassword()) {
        m_password->showStoredPlaceholder();
        m_confirmation->showStoredPlaceholder();
    }
    m_minimize->setCurrentIndex(s.minimizeToTray() ? 1 : 0);
    // Without a tray the choice cannot be made: say why.
    const bool tray = m_host.trayAvailable();
    m_minimize->setEnabled(tray);
    m_noTray->setVisible(!tray);
    enableEdits();
}

bool SecurityPage::trayChosen() const
{
    return m_minimize->currentIndex() == 1;
}

void SecurityPage::enableEdits()
{
    const bool on = corvane::passwordEditsEnabled(trayChosen(), m_host.settings().cdSupport() != 0);
    m_password->setEnabled(on);
    m_confirmation->setEnabled(on);
}

void SecurityPage::ok()
{
    SettingsStore &s = m_host.settings();
    const bool tray = trayChosen();
    const corvane::SecurityPageOutcome outcome =
        corvane::securityPageOk(tray, m_password->field(), m_confirmation->field(), s.hasPassword(),
                                [&s](const std::string &typed) { return s.checkPassword(typed); });
    s.setMinimizeToTray(outcome.minimizeToTray);
    bool indicator = outcome.protectedIndicator;
    if (outcome.newPassword && !s.setPassword(*outcome.newPassword)) {
        showUserMessage(this, corvane::passwordNotStoredMessage());
        indicator = s.hasPassword() && tray;
    } else if (outcome.message) {
        showUserMessage(this, *outcome.message);
    }
    m_host.setProtectedIndicator(indicator);
}
