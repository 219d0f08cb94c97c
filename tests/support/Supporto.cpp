#include "support/Supporto.h"

#include "platform/Applicazione.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPainter>
#include <QProcess>
#include <QRegularExpression>
#include <QTableView>
#include <QUrl>
#include <QtTest>

Ambiente::Ambiente() : m_sim(std::make_unique<Simulazione>(m_dir.path()))
{
    TApplicazione::ImpostaLingua();
}

QString Ambiente::Percorso(const QString &nome) const
{
    return QDir(m_dir.path()).filePath(nome);
}

namespace Costruttore {

const QList<std::pair<QByteArray, int>> &Formato()
{
    static const QList<std::pair<QByteArray, int>> f = {
        {"Tesserato", 50},    {"Carica", 50},    {"NumTessera", 50},   {"DataRil", 10},
        {"DataScade", 10},    {"DataNasc", 10},  {"ComuneNasc", 50},   {"ProvNasc", 2},
        {"Sesso", 1},         {"ComuneRes", 50}, {"ProvRes", 2},       {"CapRes", 5},
        {"IndirizzoRes", 50}, {"Preavviso", 3},  {"Titoli", 250},      {"TelCasa", 30},
        {"TelUff", 30},       {"TelCel", 30},    {"Recapito", 50},     {"Fax", 30},
        {"Email", 50},        {"CodFisc", 16},   {"Carta", 30},        {"ScadeCarta", 30},
        {"PartitaIva", 11},   {"Iban", 27},      {"Intestatario", 50}, {"Note", 250},
        {"Annullata", 2},     {"File01", 250},   {"File02", 250},      {"File03", 250},
        {"Desc01", 250},      {"Desc02", 250},   {"Desc03", 250},
    };
    return f;
}

int Offset(const QByteArray &campo)
{
    int o = 0;
    for (const auto &[nome, n] : Formato()) {
        if (nome == campo)
            return o;
        o += n + 1;
    }
    throw std::runtime_error("unknown field " + campo.toStdString());
}

static int Capacita(const QByteArray &campo)
{
    for (const auto &[nome, n] : Formato())
        if (nome == campo)
            return n;
    throw std::runtime_error("unknown field " + campo.toStdString());
}

QByteArray Record(const QMap<QByteArray, QByteArray> &campi)
{
    QByteArray r(2764, '\0');
    for (auto it = campi.cbegin(); it != campi.cend(); ++it) {
        const int o = Offset(it.key());
        const QByteArray &v = it.value();
        r[o] = static_cast<char>(std::min<qsizetype>(v.size(), 255));
        const qsizetype n = std::min<qsizetype>(v.size(), Capacita(it.key()));
        for (qsizetype i = 0; i < n; ++i)
            r[o + 1 + i] = v[i];
    }
    return r;
}

QByteArray Tesserato(const QByteArray &nome, const QByteArray &dataRil, const QByteArray &dataScade)
{
    return Record({{"Tesserato", nome},
                   {"DataRil", dataRil},
                   {"DataScade", dataScade},
                   {"Preavviso", "0"},
                   {"Annullata", "No"}});
}

void ScriviArchivio(const QString &percorso, const QList<QByteArray> &record,
                    const QByteArray &coda)
{
    QFile f(percorso);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write fixture archive");
    for (const QByteArray &r : record)
        f.write(r);
    f.write(coda);
}

QByteArray LeggiFile(const QString &percorso)
{
    QFile f(percorso);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray();
    return f.readAll();
}

QByteArray Campo(const QByteArray &record, const QByteArray &campo)
{
    const int o = Offset(campo);
    return record.mid(o + 1, static_cast<unsigned char>(record[o]));
}

} // namespace Costruttore

QSizeF PaginaPdf(const QString &percorso)
{
    const QByteArray pdf = Costruttore::LeggiFile(percorso);
    const QRegularExpression re(
        QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)\\s*\\]"));
    const auto m = re.match(QString::fromLatin1(pdf));
    if (!m.hasMatch())
        return QSizeF();
    return QSizeF(m.captured(1).toDouble() * 25.4 / 72.0, m.captured(2).toDouble() * 25.4 / 72.0);
}

QImage Immagine(int w, int h, QColor colore)
{
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(colore);
    return img;
}

void Clic(QWidget *w, const char *nome)
{
    Controllo<QAbstractButton>(w, nome)->click();
}

bool ScriviCella(QTableView *griglia, const QModelIndex &cella, const QString &testo)
{
    griglia->scrollTo(cella);
    griglia->setCurrentIndex(cella);
    QTest::keyClick(griglia, Qt::Key_F2);
    auto *editor = qobject_cast<QLineEdit *>(griglia->indexWidget(cella));
    if (!editor)
        return false;
    editor->selectAll();
    QTest::keyClicks(editor, testo);
    QTest::keyClick(editor, Qt::Key_Return);
    return QTest::qWaitFor([&] { return !griglia->indexWidget(cella); }, 5000);
}

void ScriviIni(Ambiente &env, const QByteArray &contenuto)
{
    QFile f(env.Percorso("Quorvel.ini"));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(contenuto);
}

void Soffice(QProcess &lo, const QString &soffice, const QString &profilo,
             const QStringList &argomenti)
{
    lo.setProgram(soffice);
    lo.setArguments(QStringList{QStringLiteral("-env:UserInstallation=") +
                                    QUrl::fromLocalFile(profilo).toString(),
                                QStringLiteral("--headless"), QStringLiteral("--norestore")} +
                    argomenti);
    lo.start();
    QVERIFY2(lo.waitForStarted(30000), "soffice did not start");
    if (!lo.waitForFinished(180000)) {
        lo.kill();
        lo.waitForFinished(5000);
        QFAIL("soffice did not finish within three minutes");
    }
}
