// SPDX-License-Identifier: GPL-3.0-or-later
// The comparison survey the program holds beside its document: read from a
// file once, never edited and never saved, and never the program's current
// document. The potential pane draws it; the comparison results are computed
// from it on demand.
#pragma once

#include <QString>

#include <memory>

class CTreDoc;
class QWidget;

class CCompareSurvey {
public:
    CCompareSurvey();
    ~CCompareSurvey();

    // Reads `path`; on failure the user has seen why and the survey held so
    // far stays. `parent` owns the messages.
    bool Load(const QString& path, bool native, QWidget* parent);
    void Close();

    bool IsLoaded() const { return m_pDoc != nullptr; }
    const CTreDoc* Doc() const { return m_pDoc.get(); }
    bool IsNative() const { return m_bNative; }
    const QString& Path() const { return m_strPath; }

    // "Ansicht" > "Vergleich in Kurven".
    bool IsShown() const { return m_bShown; }
    void SetShown(bool shown) { m_bShown = shown; }

private:
    std::unique_ptr<CTreDoc> m_pDoc;
    bool m_bNative = false;
    bool m_bShown = false;
    QString m_strPath;
};
