// SPDX-License-Identifier: GPL-3.0-or-later
// The comparison survey the program holds beside its document: read from a
// file once, never edited and never saved, and never the program's current
// document. The potential pane draws it; the comparison results are computed
// from it on demand.
//
// It is aligned to the current survey as `tresmon-tool compare` aligns it
// (alignforcomparison.h: by the pipeline data's fixed points when there
// are data, else by shared landmarks or an offset) again after every change
// of either; the page "Vergleich", the curve and the report all take this
// one alignment. A survey walked from the other end is refused until the
// user accepts comparing it reversed.
#pragma once

#include "pipeline/alignforcomparison.h"
#include "pipeline/nativepairing.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class CTreDoc;
class QWidget;

class CCompareSurvey {
public:
    CCompareSurvey();
    ~CCompareSurvey();

    // Reads `path`; on failure the user has seen why and the survey held so
    // far stays. `parent` owns the messages.
    bool Load(const QString& path, bool native, QWidget* parent);
    // The same from a file's bytes already read (a survey kept in the
    // archive), `name` standing for the file.
    bool LoadBytes(const std::string& bytes, const QString& name, bool native, QWidget* parent,
                   const std::string& reading = {});
    void Close();

    bool IsLoaded() const { return m_pDoc != nullptr; }
    const CTreDoc* Doc() const { return m_pDoc.get(); }
    bool IsNative() const { return m_bNative; }
    const QString& Path() const { return m_strPath; }

    // "Ansicht" > "Vergleich in Kurven".
    bool IsShown() const { return m_bShown; }
    void SetShown(bool shown) { m_bShown = shown; }

    // Compared as walked from the other end (asked once the alignment finds it so).
    bool IsReversed() const { return m_bReverse; }
    void SetReversed(bool reverse) { m_bReverse = reverse; }

    // Aligns the loaded survey to `current`, with `pipeline` (null: none).
    void Align(const CTreDoc& current, const trespipeline::SPipelineData* pipeline);
    // The last alignment; null when refused (AlignErrors() say why) or
    // nothing is loaded.
    std::shared_ptr<const SAlignment> Alignment() const { return m_alignment; }
    const QStringList& AlignErrors() const { return m_alignErrors; }
    const QStringList& AlignNotes() const { return m_alignNotes; }
    // A native survey's rows paired with the current survey's for the 100 mV
    // criterion, from the same alignment (nativepairing.h); null for an
    // earlier survey or nothing loaded.
    std::shared_ptr<const trespipeline::SNativePairing> NativePairing() const { return m_nativePairing; }
    // Refused only because it was walked from the other end.
    bool RefusedAsReversed() const;
    // Where the curve draws each of its rows on the current survey's metre
    // axis (EarlierOnCurrentMetres, as the report's sheets draw it); empty:
    // its own metres.
    const std::vector<int32_t>& CurveMetres() const { return m_curveMetres; }
    // The same for panes drawn in chainage: the chainages the alignment by
    // the pipeline data gave its rows; when it was not aligned by them
    // (refused), none of its rows has a place (NO_VALUE throughout).
    std::vector<int32_t> CurveChainages() const;

private:
    // `read` fills the survey; false leaves the one held so far.
    bool Take(const std::function<bool(CTreDoc&)>& read, const QString& path, bool native, QWidget* parent);

    std::unique_ptr<CTreDoc> m_pDoc;
    bool m_bNative = false;
    bool m_bShown = false;
    bool m_bReverse = false;
    QString m_strPath;
    std::shared_ptr<const SAlignment> m_alignment;
    QStringList m_alignErrors, m_alignNotes;
    tresdoc::ERefusal m_refusal = tresdoc::ERefusal::None; // why the alignment was refused
    std::vector<int32_t> m_curveMetres;
    std::shared_ptr<const trespipeline::SNativePairing> m_nativePairing;
};
