// SPDX-License-Identifier: GPL-3.0-or-later
#include "comparesurvey.h"

#include "dochost.h"
#include "tredoc.h"
#include "uiseam.h"

namespace {

// Only the messages reach the user: the progress, the status bar and the
// header bar belong to the document being worked on.
class CMessageHost : public CDocHost {
public:
    explicit CMessageHost(QWidget* parent)
        : m_pParent(parent)
    { }
    void ShowMessage(const std::string& text) override
    {
        CUiSeam::Current().Message(m_pParent, QString::fromStdString(text), QMessageBox::Warning);
    }

private:
    QWidget* m_pParent;
};

} // namespace

CCompareSurvey::CCompareSurvey() = default;
CCompareSurvey::~CCompareSurvey() = default;

bool CCompareSurvey::Load(const QString& path, bool native, QWidget* parent)
{
    auto doc = std::make_unique<CTreDoc>(CTreDoc::ERole::Aside);
    CMessageHost host(parent);
    doc->SetHost(&host);
    const bool ok = doc->OnOpenDocument(path.toStdString());
    doc->SetHost(nullptr);
    if (!ok) return false;
    m_pDoc = std::move(doc);
    m_bNative = native;
    m_bShown = true;
    m_strPath = path;
    return true;
}

void CCompareSurvey::Close()
{
    m_pDoc.reset();
    m_bNative = false;
    m_bShown = false;
    m_strPath.clear();
}
