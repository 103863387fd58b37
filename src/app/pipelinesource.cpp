// SPDX-License-Identifier: GPL-3.0-or-later
#include "pipelinesource.h"

#include "appsettings.h"
#include "doc/tredoc.h"
#include "pipeline/gpsbinding.h"
#include "pipeline/pipelinereader.h"

#include <QSettings>
#include <QVariantMap>

namespace {

const QString kRememberedKey = QStringLiteral("Leitungsdaten/Dateien");

// Name and number joined by a character neither holds: a header entry is one line.
QString PipelineKey(const std::string& name, const std::string& number)
{
    if (name.empty() && number.empty()) return {};
    return QString::fromStdString(name) + QLatin1Char('\n') + QString::fromStdString(number);
}

// The binding as BindSurveyToFile makes it: named by its file, the file's
// warnings first.
std::shared_ptr<trespipeline::SSurveyBinding> Bound(const CTreDoc& doc, const trespipeline::SPipelineData& data,
                                                    const QString& path, const std::vector<std::string>& fileWarnings)
{
    auto b = std::make_shared<trespipeline::SSurveyBinding>(trespipeline::BindSurvey(doc, data));
    b->file = path.toStdString();
    b->warnings.insert(b->warnings.begin(), fileWarnings.begin(), fileWarnings.end());
    return b;
}

QStringList ToList(const std::vector<std::string>& texts)
{
    QStringList out;
    for (const std::string& t : texts) out << QString::fromStdString(t);
    return out;
}

} // namespace

CPipelineSource::CPipelineSource() = default;
CPipelineSource::~CPipelineSource() = default;

bool CPipelineSource::Load(const QString& path, const CTreDoc& doc, QStringList& errors)
{
    return Take(trespipeline::ReadPipelineFile(path.toStdString()), path, doc, errors);
}

bool CPipelineSource::LoadText(const std::string& text, const QString& name, const CTreDoc& doc, QStringList& errors)
{
    return Take(trespipeline::ParsePipelineText(text, name.toStdString()), name, doc, errors);
}

bool CPipelineSource::Take(trespipeline::SPipelineRead read, const QString& path, const CTreDoc& doc,
                           QStringList& errors)
{
    if (!read.ok) {
        errors = ToList(read.errors);
        return false;
    }
    std::shared_ptr<const trespipeline::SSurveyBinding> binding;
    if (!doc.m_bEmpty) {
        auto b = Bound(doc, read.data, path, read.warnings);
        if (!b->ok) {
            errors = ToList(b->errors);
            return false;
        }
        binding = std::move(b);
    }
    m_bLoaded = true;
    m_strPath = path;
    m_data = std::move(read.data);
    m_text = std::move(read.text);
    m_readWarnings = std::move(read.warnings);
    m_binding = std::move(binding);
    m_bindErrors.clear();
    return true;
}

void CPipelineSource::Close()
{
    m_bLoaded = false;
    m_strPath.clear();
    m_data = {};
    m_text.clear();
    m_readWarnings.clear();
    m_binding.reset();
    m_bindErrors.clear();
}

void CPipelineSource::Bind(const CTreDoc& doc)
{
    m_binding.reset();
    m_bindErrors.clear();
    if (doc.m_bEmpty) return;
    if (!m_bLoaded) {
        // Another logger's file with its own positions stands on its GPS track.
        if (!trespipeline::HasGpsTrack(doc)) return;
        auto b = std::make_shared<trespipeline::SSurveyBinding>(trespipeline::BindSurveyToGps(doc));
        if (b->ok) m_binding = std::move(b);
        else m_bindErrors = std::move(b->errors);
        return;
    }
    auto b = Bound(doc, m_data, m_strPath, m_readWarnings);
    if (b->ok) m_binding = std::move(b);
    else m_bindErrors = std::move(b->errors);
}

std::vector<std::string> CPipelineSource::Warnings() const { return m_binding ? m_binding->warnings : m_readWarnings; }

QString CPipelineSource::Remembered(const std::string& name, const std::string& number)
{
    const QString key = PipelineKey(name, number);
    if (key.isEmpty()) return {};
    return AppSettings()->value(kRememberedKey).toMap().value(key).toString();
}

void CPipelineSource::Remember(const std::string& name, const std::string& number, const QString& path)
{
    const QString key = PipelineKey(name, number);
    if (key.isEmpty()) return;
    auto settings = AppSettings();
    QVariantMap files = settings->value(kRememberedKey).toMap();
    files.insert(key, path);
    settings->setValue(kRememberedKey, files);
}

void CPipelineSource::Forget(const std::string& name, const std::string& number)
{
    const QString key = PipelineKey(name, number);
    if (key.isEmpty()) return;
    auto settings = AppSettings();
    QVariantMap files = settings->value(kRememberedKey).toMap();
    if (files.remove(key) == 0) return;
    if (files.isEmpty()) settings->remove(kRememberedKey);
    else settings->setValue(kRememberedKey, files);
}
