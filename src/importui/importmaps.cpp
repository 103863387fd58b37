// SPDX-License-Identifier: GPL-3.0-or-later
#include "importmaps.h"

#include <QSettings>

#include <algorithm>

namespace {
// A team's surveys come in a handful of layouts; more than this many are
// old ones nobody imports any more.
constexpr size_t kMostMaps = 50;
} // namespace

std::vector<tresimport::SRememberedMap> RememberedImportMaps()
{
    QSettings s(QStringLiteral("Norvaken"), QStringLiteral("Tresmon"));
    std::vector<tresimport::SRememberedMap> maps;
    const int n = s.beginReadArray(QStringLiteral("Import"));
    for (int i = 0; i < n; ++i) {
        s.setArrayIndex(i);
        std::string error;
        auto map = tresimport::ParseColumnMap(s.value(QStringLiteral("Zuordnung")).toString().toStdString(), error);
        const std::string header = s.value(QStringLiteral("Kopfzeile")).toString().toStdString();
        // One spoilt by hand is passed over: the dialog asks again for it.
        if (!map || header.empty()) continue;
        maps.push_back({header, *map, s.value(QStringLiteral("FehlerhafteUeberspringen"), false).toBool()});
    }
    s.endArray();
    return maps;
}

void RememberImportMap(tresimport::SRememberedMap map)
{
    map.map.pipeline.clear();
    map.map.number.clear();
    map.map.date.clear();
    std::vector<tresimport::SRememberedMap> maps = RememberedImportMaps();
    maps.erase(std::remove_if(maps.begin(), maps.end(),
                              [&](const tresimport::SRememberedMap& m) { return m.headerLine == map.headerLine; }),
               maps.end());
    maps.insert(maps.begin(), map);
    if (maps.size() > kMostMaps) maps.resize(kMostMaps);
    QSettings s(QStringLiteral("Norvaken"), QStringLiteral("Tresmon"));
    s.remove(QStringLiteral("Import"));
    s.beginWriteArray(QStringLiteral("Import"), static_cast<int>(maps.size()));
    for (size_t i = 0; i < maps.size(); ++i) {
        s.setArrayIndex(static_cast<int>(i));
        s.setValue(QStringLiteral("Kopfzeile"), QString::fromStdString(maps[i].headerLine));
        s.setValue(QStringLiteral("Zuordnung"), QString::fromStdString(tresimport::ColumnMapJson(maps[i].map)));
        s.setValue(QStringLiteral("FehlerhafteUeberspringen"), maps[i].skipBad);
    }
    s.endArray();
    s.sync();
    UseRememberedImportMaps();
}

void UseRememberedImportMaps()
{
    tresimport::CCsvOptions options;
    options.remembered = RememberedImportMaps();
    tresimport::SetCsvOptions(std::move(options));
}
