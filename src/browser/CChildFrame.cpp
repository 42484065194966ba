#include "browser/CChildFrame.h"

#include "app/CTestApp.h"
#include "browser/CTestDoc.h"
#include "browser/CTestView.h"

CChildFrame::CChildFrame(CTestApp &app, QWidget *parent)
    : QMdiSubWindow(parent), m_app(app), m_doc(new CTestDoc(this))
{
    setAttribute(Qt::WA_DeleteOnClose);
    connect(m_doc, &CTestDoc::titleChanged, this, &CChildFrame::updateCaption);
    updateCaption();
}

CChildFrame::~CChildFrame() = default;

void CChildFrame::setView(CTestView *view)
{
    m_view = view;
    setWidget(view);
}

void CChildFrame::updateCaption()
{
    // The document title, as the frame caption and the window tab show it.
    const QString title = m_doc->title();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Corvane") : title);
}
