#include "browser/BrowserWindow.h"

#include "browser/BrowserDocument.h"
#include "browser/BrowserView.h"

BrowserWindow::BrowserWindow(QWidget *parent)
    : QMdiSubWindow(parent), m_doc(new BrowserDocument(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    connect(m_doc, &BrowserDocument::titleChanged, this, &BrowserWindow::updateCaption);
    updateCaption();
}

BrowserWindow::~BrowserWindow() = default;

void BrowserWindow::setView(BrowserView *view)
{
    m_view = view;
    setWidget(view);
}

void BrowserWindow::updateCaption()
{
    // The document title, as the window caption and the window tab show it.
    const QString title = m_doc->title();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Corvane") : title);
}
