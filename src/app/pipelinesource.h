// SPDX-License-Identifier: GPL-3.0-or-later
// The pipeline data ("Leitungsdaten") the program holds beside its document:
// read from a GeoJSON file once, never saved into the survey, and tied to
// the survey (surveybinding.h) again after every change of it, so every
// chainage, position and section criterion the window, the map, the
// exports and the report show belongs to the rows as they are now.
//
// A survey edited until it no longer fits the data (a fixed point named by
// two rows, ties out of order) keeps the data loaded but has no binding:
// BindErrors() say why, and everything is measured in recorded metres
// until the survey fits again.
//
// The file last loaded for a pipeline is remembered in the settings under
// the survey's pipeline name and number (header entries 3 and 4), so the
// next survey of that pipeline finds its data again.
#pragma once

#include "pipeline/pipelinereader.h"
#include "pipeline/surveybinding.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <string>
#include <vector>

class CTreDoc;

class CPipelineSource {
public:
    CPipelineSource();
    ~CPipelineSource();

    // Reads `path` and ties `doc` to it (an empty survey is tied later). On
    // failure returns false with the German reasons in `errors`, and what
    // was held so far stays.
    bool Load(const QString& path, const CTreDoc& doc, QStringList& errors);
    // The same from data already read (the revision an archived survey was
    // tied to): `name` stands for the file in messages and Path().
    bool LoadText(const std::string& text, const QString& name, const CTreDoc& doc, QStringList& errors);
    void Close();
    // Ties the survey as it is now; nothing without data.
    void Bind(const CTreDoc& doc);

    bool IsLoaded() const { return m_bLoaded; }
    const QString& Path() const { return m_strPath; }
    const trespipeline::SPipelineData& Data() const { return m_data; }
    // The file's bytes as they were read, so the archive keeps what the
    // survey is tied to even when the file has changed since.
    const std::string& Text() const { return m_text; }
    // The survey as it is, tied to the data; null without data, for an
    // empty survey, or when it cannot be tied (BindErrors()).
    std::shared_ptr<const trespipeline::SSurveyBinding> Binding() const { return m_binding; }
    const std::vector<std::string>& BindErrors() const { return m_bindErrors; }
    // The rows' chainages of that binding (row r at [r - 1], NaN: none),
    // where the curve panes draw them; null without a binding.
    std::shared_ptr<const std::vector<double>> Chainages() const
    {
        return m_binding ? std::shared_ptr<const std::vector<double>>(m_binding, &m_binding->chainage) : nullptr;
    }
    // The file's warnings, then the binding's.
    std::vector<std::string> Warnings() const;

    // The file remembered for a pipeline; empty when none (or neither name
    // nor number is given).
    static QString Remembered(const std::string& name, const std::string& number);
    static void Remember(const std::string& name, const std::string& number, const QString& path);
    static void Forget(const std::string& name, const std::string& number);

private:
    bool Take(trespipeline::SPipelineRead read, const QString& path, const CTreDoc& doc, QStringList& errors);

    bool m_bLoaded = false;
    QString m_strPath;
    trespipeline::SPipelineData m_data;
    std::string m_text;
    std::vector<std::string> m_readWarnings;
    std::shared_ptr<const trespipeline::SSurveyBinding> m_binding;
    std::vector<std::string> m_bindErrors;
};
