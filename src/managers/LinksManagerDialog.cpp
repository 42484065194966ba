#include "managers/LinksManagerDialog.h"

#include "core/DialogAnchors.h"
#include "core/FileFilter.h"
#include "core/SettingsStore.h"
#include "core/Strings.h"
#include "managers/LinkDialog.h"
#include "ui/ListBox.h"
#include "ui/MessageBox.h"

#include <QFile>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString fromUtf8(const std::string &text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QStringList toQStringList(const std::vector<std::string> &items)
{
    QStringList list;
    list.reserve(qsizetype(items.size()));
    for (const std::string &item : items)
        list.append(fromUtf8(item));
    return list;
}

// A links file's path as the file system knows it.
std::string toPath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

QString linksFileFilter()
{
    return QString::fromStdString(corvane::dialogFileFilter(corvane::kLinksFileFilter));
}

} // namespace

LinksManagerDialog::LinksManagerDialog(SettingsStore &settings, const QString &currentAddress,
                                       QWidget *parent)
    : ResizeDialog(parent),
      m_settings(settings),
      m_links(corvane::decodeStoredLinks(settings.loadLinks())),
      m_currentAddress(currentAddress)
{
    setWindowTitle(QStringLiteral("Links Manager"));

    m_list = new ListBox(corvane::kLinksListExtentOffset, this);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_edit = new QPushButton(QStringLiteral("Add/Edit..."), this);
    m_remove = new QPushButton(QStringLiteral("Remove"), this);
    m_reset = new QPushButton(QStringLiteral("Reset"), this);
    m_import = new QPushButton(QStringLiteral("Import..."), this);
    m_export = new QPushButton(QStringLiteral("Export..."), this);
    m_ok->setDefault(true);

    // The list on the left, the buttons in a column on the right: choosing,
    // editing, exchanging.
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addSpacing(fontMetrics().height());
    buttons->addWidget(m_edit);
    buttons->addWidget(m_remove);
    buttons->addWidget(m_reset);
    buttons->addSpacing(fontMetrics().height());
    buttons->addWidget(m_import);
    buttons->addWidget(m_export);
    buttons->addStretch();
    auto *layout = new QHBoxLayout;
    layout->addWidget(m_list, 1);
    layout->addLayout(buttons);
    fillList();
    setStartLayout(layout, QSize(fontMetrics().averageCharWidth() * 64, fontMetrics().height() * 20));

    using corvane::kAnchorBottomRight;
    using corvane::kAnchorTopLeft;
    using corvane::kAnchorTopRight;
    addAnchor(m_list, kAnchorTopLeft, kAnchorBottomRight);
    for (QPushButton *b : {m_ok, m_edit, m_remove, m_import, m_export, m_reset, m_cancel})
        addAnchor(b, kAnchorTopRight);
    enableSaveRestore(settings, QStringLiteral("Links"));

    connect(m_ok, &QPushButton::clicked, this, &LinksManagerDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &LinksManagerDialog::reject);
    connect(m_edit, &QPushButton::clicked, this, &LinksManagerDialog::editLink);
    connect(m_remove, &QPushButton::clicked, this, &LinksManagerDialog::removeLink);
    connect(m_import, &QPushButton::clicked, this, &LinksManagerDialog::importLinks);
    connect(m_export, &QPushButton::clicked, this, &LinksManagerDialog::exportLinks);
    connect(m_reset, &QPushButton::clicked, this, &LinksManagerDialog::resetLinks);
    m_list->setFocus();
}

QString LinksManagerDialog::selectedName() const
{
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    return selected.isEmpty() ? QString() : selected.first()->text();
}

void LinksManagerDialog::fillList(const QString &select)
{
    m_list->setItems(toQStringList(m_links.names()));
    if (select.isEmpty())
        return;
    const QList<QListWidgetItem *> found = m_list->findItems(select, Qt::MatchExactly);
    if (!found.isEmpty())
        m_list->setCurrentItem(found.first());
}

void LinksManagerDialog::editLink()
{
    const std::string selected = selectedName().toStdString();
    const corvane::LinkList::Edit edit = m_links.beginEdit(selected, m_currentAddress.toStdString());
    LinkDialog dialog(fromUtf8(edit.name), fromUtf8(corvane::linkAddressShown(edit.address)), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const std::string name = dialog.name().toStdString();
    const std::string address = dialog.address().toStdString();
    m_links.finishEdit(edit, name, address);
    fillList(fromUtf8(name.empty() ? address : name));
}

void LinksManagerDialog::removeLink()
{
    const QString selected = selectedName();
    if (selected.isEmpty())
        return;
    m_links.remove(selected.toStdString());
    fillList();
}

void LinksManagerDialog::resetLinks()
{
    m_links.reset();
    fillList();
}

void LinksManagerDialog::importLinks()
{
    QFileDialog chooser(this, QStringLiteral("Open"), QString(), linksFileFilter());
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setFileMode(QFileDialog::ExistingFile);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return;
    if (const std::optional<corvane::UserMessage> refused =
            m_links.importFile(toPath(chooser.selectedFiles().first()))) {
        showUserMessage(this, *refused);
        return;
    }
    fillList();
}

void LinksManagerDialog::exportLinks()
{
    QFileDialog chooser(this, QStringLiteral("Save As"), QString(), linksFileFilter());
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setFileMode(QFileDialog::AnyFile);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return;
    if (const std::optional<corvane::UserMessage> said =
            m_links.exportFile(toPath(chooser.selectedFiles().first()), m_settings.msgLinksSave() != 0))
        showUserMessage(this, *said);
}

void LinksManagerDialog::accept()
{
    m_settings.storeLinks(corvane::encodeStoredLinks(m_links.links()));
    m_chosen = fromUtf8(corvane::linkAddressShown(m_links.targetOf(selectedName().toStdString())));
    ResizeDialog::accept();
}
