// SPDX-License-Identifier: GPL-3.0-or-later
// The render command, run as the user runs it (tresmon-tool, which hands it
// to its Qt half): its arguments, its errors and exit codes, and that its
// picture is the pane's own backing image.
#include "curvepane.h"
#include "surveyopen.h"
#include "viewsfixture.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

class TestRender : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void usageErrors();
    void unreadableInputAndUnwritableOutput();
    void pictureIsThePanesBackingImage();
    void standardStreamsAndHelp();

private:
    struct CRun {
        int exit = -1;
        QByteArray out, err;
    };
    // The command with `input` (a file) on standard input, both outputs kept.
    CRun RunWith(const QStringList& args, const QString& input = QString())
    {
        QProcess p;
        if (!input.isEmpty()) p.setStandardInputFile(input);
        p.start(QStringLiteral(TOOL_EXE), QStringList{QStringLiteral("render")} + args);
        CRun r;
        if (!p.waitForFinished(60000)) return r;
        r.exit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }

    int Run(const std::vector<std::string>& args)
    {
        QStringList list{QStringLiteral("render")};
        for (const std::string& a : args) list << QString::fromStdString(a);
        QProcess p;
        p.start(QStringLiteral(TOOL_EXE), list);
        if (!p.waitForFinished(60000)) return -1;
        return p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    }

    QTemporaryDir m_dir;
    std::string m_survey;
};

void TestRender::initTestCase()
{
    QVERIFY(m_dir.isValid());
    CTreDoc doc;
    std::vector<CRowData> rows = EvenSurvey(730, 5);
    rows[20].comment = "Schieber";
    FillDoc(doc, rows);
    doc.m_header[2] = "-850 mV";
    m_survey = m_dir.filePath("kurz.tsd").toStdString();
    QVERIFY(doc.OnSaveDocument(m_survey));
}

void TestRender::usageErrors()
{
    const std::string out = m_dir.filePath("u.png").toStdString();
    QCOMPARE(Run({}), 1);
    QCOMPARE(Run({m_survey}), 1); // no -o
    QCOMPARE(Run({m_survey, "-o"}), 1);
    QCOMPARE(Run({m_survey, "-o", out, "--pane", "table"}), 1);
    QCOMPARE(Run({m_survey, "-o", out, "--size", "800"}), 1);
    QCOMPARE(Run({m_survey, "-o", out, "--size", "0x400"}), 1);
    QCOMPARE(Run({m_survey, "-o", out, "--size", "99999x10"}), 1);
    QCOMPARE(Run({m_survey, "-o", out, "--size", "-8x10"}), 1);
    QCOMPARE(Run({m_survey, "-o", out, "--farbe"}), 1);
    QCOMPARE(Run({m_survey, m_survey, "-o", out}), 1);
    QVERIFY(!QFile::exists(QString::fromStdString(out)));
}

void TestRender::unreadableInputAndUnwritableOutput()
{
    QCOMPARE(Run({m_dir.filePath("fehlt.tsd").toStdString(), "-o", m_dir.filePath("f.png").toStdString()}), 2);
    QCOMPARE(Run({m_survey, "-o", m_dir.filePath("kein/ordner/x.png").toStdString()}), 2);
}

void TestRender::pictureIsThePanesBackingImage()
{
    for (const char* pane : {"potential", "gradient"}) {
        const QString out = m_dir.filePath(QStringLiteral("%1.png").arg(pane));
        QCOMPARE(Run({m_survey, "-o", out.toStdString(), "--pane", pane, "--size", "640x300"}), 0);
        const QImage picture(out);
        QCOMPARE(picture.size(), QSize(640, 300));

        // The same file opened the way the main window opens it.
        CTreDoc doc;
        CTreViewHub hub;
        doc.SetHost(&hub);
        QVERIFY(tresimport::OpenSurvey(doc, m_survey));
        CTrePrintView gradient(doc), potential(doc);
        hub.AddView(&gradient);
        hub.AddView(&potential);
        hub.InitialUpdateAll();
        CTrePrintView& v = QByteArray(pane) == "gradient" ? gradient : potential;
        v.resize(640, 300);
        v.ComposeBacking(QRect(0, 0, 640, 300));
        const QImage expected = v.BackingImage().copy(0, 0, 640, 300);
        QCOMPARE(picture.convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
        doc.SetHost(nullptr);
    }
    // The default is the potential pane at 800 x 400.
    const QString out = m_dir.filePath("default.png");
    QCOMPARE(Run({"-o", out.toStdString(), m_survey}), 0);
    const QImage picture(out);
    QCOMPARE(picture.size(), QSize(800, 400));
    QVERIFY(CountColor(picture, 0, 0, 799, 399, QColor(255, 0, 0)) > 0); // potential Aus
    QCOMPARE(CountColor(picture, 0, 0, 799, 399, QColor(0, 255, 0)), 0); // no difference curve
}

void TestRender::standardStreamsAndHelp()
{
    const QString survey = QString::fromStdString(m_survey);
    const QString file = m_dir.filePath(QStringLiteral("datei.png"));
    QCOMPARE(RunWith({survey, QStringLiteral("-o"), file, QStringLiteral("--size"), QStringLiteral("300x200")}).exit,
             0);
    QFile saved(file);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    // Survey from standard input, picture to standard output: the same PNG.
    const CRun r = RunWith({QStringLiteral("-"), QStringLiteral("-o"), QStringLiteral("-"), QStringLiteral("--size"),
                            QStringLiteral("300x200")},
                           survey);
    QCOMPARE(r.exit, 0);
    QVERIFY(r.out == saved.readAll());
    QVERIFY2(!r.err.contains("render:"), r.err.constData());

    CRun help = RunWith({QStringLiteral("--help")});
    QCOMPARE(help.exit, 0);
    QVERIFY2(help.out.startsWith("Aufruf: tresmon-tool render DATEI -o AUSGABE.png"), help.out.constData());
    // Wrong words are named as typed, in German, before the usage.
    CRun wrong = RunWith({survey, QStringLiteral("-o"), file, QStringLiteral("--farbe")});
    QCOMPARE(wrong.exit, 1);
    QVERIFY2(wrong.err.startsWith("render: unbekannte Option --farbe\nAufruf: tresmon-tool render"),
             wrong.err.constData());
    wrong = RunWith({survey, QStringLiteral("-o"), file, QStringLiteral("--pane")});
    QCOMPARE(wrong.exit, 1);
    QVERIFY2(wrong.err.startsWith("render: nach --pane fehlt gradient oder potential\n"), wrong.err.constData());
    wrong = RunWith({survey, QStringLiteral("--help=ja")});
    QCOMPARE(wrong.exit, 1);
    QVERIFY2(wrong.err.startsWith("render: help nimmt keinen Wert\n"), wrong.err.constData());
}

QTEST_MAIN(TestRender)
#include "tst_render.moc"
