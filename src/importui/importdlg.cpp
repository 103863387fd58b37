// SPDX-License-Identifier: GPL-3.0-or-later
#include "importdlg.h"

#include "doc/dochost.h"
#include "doc/numtext.h"
#include "doc/surveyimage.h"
#include "import/csvcells.h"
#include "import/csvtext.h"
#include "ui/textcolours.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <cctype>

using tresimport::CColumnMap;
using tresimport::CColumnRef;
using tresimport::EColumn;
using tresimport::EPotentialUnit;
using tresimport::EStationNotation;

namespace {

// The values as the program's table and header bar name them.
constexpr const char* kColumnNames[tresimport::kColumnCount] = {"Station",
                                                                "Potential Ein",
                                                                "Potential Aus",
                                                                "Gradient Ein links",
                                                                "Gradient Aus links",
                                                                "Gradient Ein rechts",
                                                                "Gradient Aus rechts",
                                                                "Kommentar",
                                                                "Breite (lat)",
                                                                "Länge (lon)",
                                                                "PDOP",
                                                                "Interpoliert",
                                                                "Zeit"};
constexpr const char* kHeaderNames[5] = {"Leitung", "Leitungsnummer", "Messdatum", "Kriterium", "Bezugselektrode"};

std::string Folded(std::string_view s)
{
    std::string out;
    for (char c : tresimport::Trimmed(s)) out += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

QComboBox* Choice(QWidget* parent, std::initializer_list<const char*> items)
{
    auto* box = new QComboBox(parent);
    for (const char* item : items) box->addItem(QString::fromUtf8(item));
    return box;
}

int SeparatorIndex(char c) { return c == ';' ? 1 : c == ',' ? 2 : c == '\t' ? 3 : 0; }
char SeparatorAt(int i) { return i == 1 ? ';' : i == 2 ? ',' : i == 3 ? '\t' : 0; }

const char* StationWord(EStationNotation s)
{
    switch (s) {
    case EStationNotation::KmPlusM: return "km+m";
    case EStationNotation::FtPlusFt: return "ft+ft (100-Fuß-Stationen)";
    case EStationNotation::Feet: return "Fuß";
    case EStationNotation::Metre:
    case EStationNotation::Auto: break;
    }
    return "Metern";
}

} // namespace

CImportDlg::CImportDlg(QWidget* parent, const QString& name, std::string bytes,
                       const tresimport::SRememberedMap& initial)
    : QDialog(parent)
    , m_name(name)
    , m_bytes(std::move(bytes))
{
    setObjectName(QStringLiteral("importDialog"));
    setWindowTitle(QStringLiteral("Importieren: ") + name);
    m_bText = tresimport::DecodeText(m_bytes, m_text);
    m_pTrial = new QTimer(this);
    m_pTrial->setSingleShot(true);
    m_pTrial->setInterval(150);
    connect(m_pTrial, &QTimer::timeout, this, &CImportDlg::TryRead);

    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(QString::fromUtf8("Die ersten %1 Zeilen der Datei. Ordnen Sie die Spalten den Werten der "
                                               "Messung zu; Einheiten und Stationierung werden sonst aus den Zellen "
                                               "bestimmt. Die Zuordnung wird für Dateien mit dieser Kopfzeile "
                                               "gemerkt.")
                                 .arg(kPreviewLines),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);
    m_pPreview = new QTableWidget(this);
    m_pPreview->setObjectName(QStringLiteral("importPreview"));
    m_pPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pPreview->setSelectionMode(QAbstractItemView::NoSelection);
    m_pPreview->setFocusPolicy(Qt::NoFocus);
    // Lines as tight as a text editor's, so most of the 20 are seen at once.
    m_pPreview->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    m_pPreview->setMinimumHeight(120);
    layout->addWidget(m_pPreview, 3);

    // The settings scroll on a small screen rather than push the buttons off it.
    auto* settings = new QWidget(this);
    auto* row = new QHBoxLayout(settings);
    row->setContentsMargins(0, 0, 0, 0);
    auto* left = new QVBoxLayout;
    left->addWidget(MakeLayoutBox());
    left->addWidget(MakeUnitsBox());
    left->addWidget(MakeHeaderBox());
    left->addStretch(1);
    row->addLayout(left, 1);
    row->addWidget(MakeColumnsBox(), 1);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(settings);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    layout->addWidget(scroll, 4);

    m_pSkipBad = new QCheckBox(QString::fromUtf8("Fehlerhafte Zeilen überspringen"), this);
    m_pSkipBad->setToolTip(QString::fromUtf8("Zeilen, deren Zellen sich nicht lesen lassen, werden übersprungen und "
                                             "in den Hinweisen und im Bericht einzeln genannt."));
    layout->addWidget(m_pSkipBad);
    m_pResult = new QLabel(this);
    m_pResult->setObjectName(QStringLiteral("importResult"));
    m_pResult->setWordWrap(true);
    m_pResult->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_pResult);
    auto* buttons = new QDialogButtonBox(this);
    m_pImport = buttons->addButton(QStringLiteral("Importieren"), QDialogButtonBox::AcceptRole);
    buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        // A change made just before the click is read first.
        if (m_pTrial->isActive()) TryRead();
        if (m_pImport->isEnabled()) accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    SetFrom(initial.map, initial.skipBad);
    // The first verdict on the file is there when the dialog opens.
    TryRead();
    connect(m_pSkipBad, &QCheckBox::toggled, this, &CImportDlg::Changed);
    // Room for a wide export, but never beyond a small screen's edge.
    const QRect room = screen() ? screen()->availableGeometry() : QRect(0, 0, 1024, 600);
    resize(std::min(900, room.width() * 9 / 10), std::min(640, room.height() * 9 / 10));
}

CImportDlg::~CImportDlg() = default;

QWidget* CImportDlg::MakeLayoutBox()
{
    auto* box = new QGroupBox(QStringLiteral("Aufbau"), this);
    auto* form = new QFormLayout(box);
    m_pSeparator = Choice(box, {"Automatisch", "Semikolon „;“", "Komma „,“", "Tabulator"});
    m_pDecimal = Choice(box, {"Automatisch", "Punkt „.“", "Komma „,“"});
    m_pSkip = new QSpinBox(box);
    m_pSkip->setRange(0, 10000);
    form->addRow(QStringLiteral("Trennzeichen:"), m_pSeparator);
    form->addRow(QStringLiteral("Dezimalzeichen:"), m_pDecimal);
    form->addRow(QStringLiteral("Zeilen vor der Kopfzeile:"), m_pSkip);
    connect(m_pSeparator, &QComboBox::currentIndexChanged, this, &CImportDlg::Repreview);
    connect(m_pSkip, &QSpinBox::valueChanged, this, &CImportDlg::Repreview);
    connect(m_pDecimal, &QComboBox::currentIndexChanged, this, &CImportDlg::Changed);
    return box;
}

QWidget* CImportDlg::MakeColumnsBox()
{
    auto* box = new QGroupBox(QStringLiteral("Spalten"), this);
    auto* form = new QFormLayout(box);
    for (size_t i = 0; i < tresimport::kColumnCount; ++i) {
        m_columns[i] = new QComboBox(box);
        m_columns[i]->setObjectName(QString::fromLatin1(tresimport::ColumnKey(static_cast<EColumn>(i))));
        form->addRow(QString::fromUtf8(kColumnNames[i]) + QLatin1Char(':'), m_columns[i]);
        connect(m_columns[i], &QComboBox::currentIndexChanged, this, [this] {
            if (!m_bFilling) ShowPreview();
            Changed();
        });
    }
    return box;
}

QWidget* CImportDlg::MakeUnitsBox()
{
    auto* box = new QGroupBox(QStringLiteral("Einheiten"), this);
    auto* form = new QFormLayout(box);
    m_pPotentialUnit = Choice(box, {"Automatisch (V, wenn der Median unter 10 liegt)", "V", "mV"});
    m_pGradientUnit = Choice(box, {"mV", "V"});
    m_pStation = Choice(box, {"Automatisch", "m", "km+m („12+345,6“)", "ft+ft („10712+32“)", "ft"});
    form->addRow(QStringLiteral("Potentiale:"), m_pPotentialUnit);
    form->addRow(QStringLiteral("Gradienten:"), m_pGradientUnit);
    form->addRow(QStringLiteral("Stationen:"), m_pStation);
    for (QComboBox* c : {m_pPotentialUnit, m_pGradientUnit, m_pStation})
        connect(c, &QComboBox::currentIndexChanged, this, &CImportDlg::Changed);
    return box;
}

QWidget* CImportDlg::MakeHeaderBox()
{
    auto* box = new QGroupBox(QStringLiteral("Kopfdaten, die der Datei fehlen"), this);
    auto* form = new QFormLayout(box);
    for (size_t i = 0; i < m_header.size(); ++i) {
        m_header[i] = new QLineEdit(box);
        form->addRow(QString::fromUtf8(kHeaderNames[i]) + QLatin1Char(':'), m_header[i]);
        connect(m_header[i], &QLineEdit::textChanged, this, &CImportDlg::Changed);
    }
    m_header[2]->setPlaceholderText(QStringLiteral("TT.MM.JJJJ"));
    return box;
}

void CImportDlg::SetFrom(const CColumnMap& map, bool skipBad)
{
    m_bFilling = true;
    m_pSeparator->setCurrentIndex(SeparatorIndex(map.separator));
    m_pDecimal->setCurrentIndex(map.decimal == '.' ? 1 : map.decimal == ',' ? 2 : 0);
    m_pSkip->setValue(map.skip);
    m_pPotentialUnit->setCurrentIndex(static_cast<int>(map.potentialUnit));
    m_pGradientUnit->setCurrentIndex(map.gradientUnit == EPotentialUnit::V ? 1 : 0);
    m_pStation->setCurrentIndex(static_cast<int>(map.station));
    const std::string* values[5] = {&map.pipeline, &map.number, &map.date, &map.criterion, &map.electrode};
    for (size_t i = 0; i < m_header.size(); ++i) m_header[i]->setText(QString::fromStdString(*values[i]));
    m_pSkipBad->setChecked(skipBad);
    m_bFilling = false;
    m_preview = tresimport::PreviewText(m_text, map.skip, map.separator, kPreviewLines);
    FillColumnBoxes(map.columns);
    ShowPreview();
    Changed();
}

void CImportDlg::Repreview()
{
    if (m_bFilling) return;
    const std::array<CColumnRef, tresimport::kColumnCount> keep = MapNow().columns;
    m_preview
        = tresimport::PreviewText(m_text, m_pSkip->value(), SeparatorAt(m_pSeparator->currentIndex()), kPreviewLines);
    FillColumnBoxes(keep);
    ShowPreview();
    Changed();
}

void CImportDlg::FillColumnBoxes(const std::array<CColumnRef, tresimport::kColumnCount>& keep)
{
    static const std::vector<std::string> kNone;
    const std::vector<std::string>& header
        = m_preview.headerIndex < m_preview.lines.size() ? m_preview.lines[m_preview.headerIndex] : kNone;
    m_bFilling = true;
    for (size_t i = 0; i < tresimport::kColumnCount; ++i) {
        QComboBox* box = m_columns[i];
        box->clear();
        box->addItem(QStringLiteral("–"), 0);
        for (size_t c = 0; c < header.size(); ++c)
            box->addItem(QStringLiteral("%1: %2").arg(c + 1).arg(QString::fromStdString(header[c])),
                         static_cast<int>(c + 1));
        int chosen = 0;
        if (!keep[i].title.empty()) {
            const auto it = std::find_if(header.begin(), header.end(),
                                         [&](const std::string& h) { return Folded(h) == Folded(keep[i].title); });
            if (it != header.end()) chosen = static_cast<int>(it - header.begin()) + 1;
        } else if (keep[i].number > 0 && static_cast<size_t>(keep[i].number) <= header.size()) chosen = keep[i].number;
        box->setCurrentIndex(chosen);
    }
    m_bFilling = false;
}

void CImportDlg::ShowPreview()
{
    const auto& lines = m_preview.lines;
    size_t width = 1;
    for (const auto& cells : lines) width = std::max(width, cells.size());
    m_pPreview->clear();
    m_pPreview->setRowCount(static_cast<int>(lines.size()));
    m_pPreview->setColumnCount(static_cast<int>(width));
    QStringList titles;
    for (size_t c = 0; c < width; ++c) {
        QString title = QString::number(c + 1);
        for (size_t i = 0; i < tresimport::kColumnCount; ++i)
            if (m_columns[i]->currentData().toInt() == static_cast<int>(c + 1))
                title += QLatin1Char('\n') + QString::fromUtf8(kColumnNames[i]);
        titles << title;
    }
    m_pPreview->setHorizontalHeaderLabels(titles);
    QStringList numbers;
    QFont bold = m_pPreview->font();
    bold.setBold(true);
    for (size_t r = 0; r < lines.size(); ++r) {
        numbers << QString::number(m_preview.lineNumbers[r]);
        for (size_t c = 0; c < lines[r].size(); ++c) {
            auto* item = new QTableWidgetItem(QString::fromStdString(lines[r][c]));
            // The notes before the header line are no data: shown greyed.
            if (r < m_preview.headerIndex) item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
            if (r == m_preview.headerIndex) item->setFont(bold);
            m_pPreview->setItem(static_cast<int>(r), static_cast<int>(c), item);
        }
        if (r < m_preview.headerIndex && width > 1)
            m_pPreview->setSpan(static_cast<int>(r), 0, 1, static_cast<int>(width));
    }
    m_pPreview->setVerticalHeaderLabels(numbers);
    m_pPreview->resizeColumnsToContents();
}

CColumnMap CImportDlg::MapNow() const
{
    CColumnMap map;
    map.separator = SeparatorAt(m_pSeparator->currentIndex());
    map.decimal = m_pDecimal->currentIndex() == 1 ? '.' : m_pDecimal->currentIndex() == 2 ? ',' : 0;
    map.skip = m_pSkip->value();
    const std::vector<std::string>* header
        = m_preview.headerIndex < m_preview.lines.size() ? &m_preview.lines[m_preview.headerIndex] : nullptr;
    for (size_t i = 0; i < tresimport::kColumnCount; ++i) {
        const int n = m_columns[i]->currentData().toInt();
        if (n <= 0 || !header) continue;
        const std::string& title = (*header)[static_cast<size_t>(n - 1)];
        // By title where the title names one column only, so the map still
        // fits an export whose columns come in another order.
        const auto same = std::count_if(header->begin(), header->end(),
                                        [&](const std::string& h) { return Folded(h) == Folded(title); });
        if (!Folded(title).empty() && same == 1) map.columns[i].title = std::string(tresimport::Trimmed(title));
        else map.columns[i].number = n;
    }
    map.potentialUnit = static_cast<EPotentialUnit>(m_pPotentialUnit->currentIndex());
    map.gradientUnit = m_pGradientUnit->currentIndex() == 1 ? EPotentialUnit::V : EPotentialUnit::MilliV;
    map.station = static_cast<EStationNotation>(m_pStation->currentIndex());
    std::string* values[5] = {&map.pipeline, &map.number, &map.date, &map.criterion, &map.electrode};
    for (size_t i = 0; i < m_header.size(); ++i) *values[i] = m_header[i]->text().trimmed().toStdString();
    return map;
}

tresimport::SRememberedMap CImportDlg::Chosen() const
{
    const CColumnMap map = MapNow();
    return {tresimport::LineAt(m_text, map.skip), map, m_pSkipBad->isChecked()};
}

void CImportDlg::Changed()
{
    // The button keeps the last verdict while the user types: a click reads
    // the pending change first and imports only what is readable then.
    if (!m_bFilling) m_pTrial->start();
}

QString CImportDlg::ResultText()
{
    if (m_pTrial->isActive()) TryRead();
    return m_pResult->text();
}

void CImportDlg::TryRead()
{
    m_pTrial->stop();
    auto refuse = [this](const QString& why) {
        m_pResult->setStyleSheet(textcolours::ErrorStyle());
        m_pResult->setText(why);
        m_pImport->setEnabled(false);
    };
    if (!m_bText) return refuse(m_name + QString::fromUtf8(" ist keine Textdatei."));
    const tresimport::SRememberedMap chosen = Chosen();
    if (chosen.headerLine.empty()) return refuse(QString::fromUtf8("Die Kopfzeile ist leer."));
    if (!chosen.map[EColumn::Station].Used() || (!chosen.map[EColumn::On].Used() && !chosen.map[EColumn::Off].Used()))
        return refuse(QString::fromUtf8("Station und Potential Ein oder Aus müssen zugeordnet sein."));
    const tresimport::CCsvReader reader(tresimport::CCsvOptions{chosen.map, chosen.skipBad, {}});
    CCollectingHost host;
    CSurveyImage image;
    const auto outcome = reader.Read(m_bytes, m_name.toStdString(), host, image);
    if (!outcome.Ok()) return refuse(QString::fromStdString(outcome.text));
    std::string error;
    const auto resolved = reader.MapFor(m_bytes, m_name.toStdString(), error);
    QString text = QString::fromUtf8("Lesbar: %1 Zeilen, Meter %2 bis %3")
                       .arg(image.rows.size())
                       .arg(image.rows.front().m_nMeter)
                       .arg(image.rows.back().m_nMeter);
    if (resolved)
        text += QString::fromUtf8("; Stationen in %1, Potentiale in %2, Dezimalzeichen „%3“")
                    .arg(QString::fromUtf8(StationWord(resolved->station)),
                         resolved->potentialUnit == EPotentialUnit::V ? QStringLiteral("V") : QStringLiteral("mV"),
                         QString(QLatin1Char(resolved->decimal)));
    text += QLatin1Char('.');
    if (!host.messages.empty()) text += QLatin1Char('\n') + QString::fromStdString(host.messages);
    m_pResult->setStyleSheet(QString());
    m_pResult->setText(text);
    m_pImport->setEnabled(true);
}
