#include "bench/Dati.h"

#include "archive/Archivio.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QStandardPaths>

#include <array>
#include <fstream>
#include <stdexcept>
#include <string>

namespace {
constexpr std::array Cognomi = {
    "Rossi",   "Russo",   "Ferrari",   "Esposito", "Bianchi",    "Romano",  "Colombo",
    "Ricci",   "Marino",  "Greco",     "Bruno",    "Gallo",      "Conti",   "De Luca",
    "Mancini", "Costa",   "Giordano",  "Rizzo",    "Lombardi",   "Moretti", "Barbieri",
    "Fontana", "Santoro", "Mariani",   "Rinaldi",  "Caruso",     "Ferrara", "Galli",
    "Martini", "Leone",   "Longo",     "Gentile",  "Martinelli", "Vitale",  "Lombardo",
    "Serra",   "Coppola", "De Santis", "D'Angelo", "Marchetti"};
constexpr std::array Nomi = {"Mario",  "Luca",      "Giuseppe",   "Francesca", "Giulia",
                             "Anna",   "Marco",     "Alessandro", "Chiara",    "Sara",
                             "Andrea", "Paolo",     "Roberta",    "Elena",     "Niccolò",
                             "Lucia",  "Matteo",    "Federica",   "Simone",    "Martina",
                             "Davide", "Valentina", "Stefano",    "Giorgia",   "Fabrizio"};
struct Citta {
    const char *nome, *prov, *cap;
};
constexpr std::array<Citta, 20> Comuni = {{
    {"Roma", "RM", "00100"},       {"Milano", "MI", "20100"},  {"Napoli", "NA", "80100"},
    {"Torino", "TO", "10100"},     {"Palermo", "PA", "90100"}, {"Genova", "GE", "16100"},
    {"Bologna", "BO", "40100"},    {"Firenze", "FI", "50100"}, {"Bari", "BA", "70100"},
    {"Catania", "CT", "95100"},    {"Venezia", "VE", "30100"}, {"Verona", "VR", "37100"},
    {"Messina", "ME", "98100"},    {"Padova", "PD", "35100"},  {"Trieste", "TS", "34100"},
    {"Brescia", "BS", "25100"},    {"Forlì", "FC", "47121"},   {"Cantù", "CO", "22063"},
    {"Sant'Agata", "ME", "98076"}, {"Aosta", "AO", "11100"},
}};
constexpr std::array Cariche = {"Socio ordinario", "Presidente",     "Segretario", "Tesoriere",
                                "Consigliere",     "Socio onorario", "Istruttore", "Atleta"};
constexpr std::array Note = {
    "Quota versata in contanti.",
    "Richiede la tessera anche per il figlio minore; ricontattare a settembre.",
    "",
    "Certificato medico consegnato il 12/03.",
    "Trasferito dalla sezione di Bologna, pratica completa.",
    ""};

quint32 Mescola(quint32 x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

QString Data(quint32 r, int annoBase)
{
    return QStringLiteral("%1/%2/%3")
        .arg(int(r % 28) + 1, 2, 10, QLatin1Char('0'))
        .arg(int((r >> 5) % 12) + 1, 2, 10, QLatin1Char('0'))
        .arg(annoBase + int((r >> 9) % 3));
}
} // namespace

TScheda SchedaSintetica(int i)
{
    const quint32 r = Mescola(static_cast<quint32>(i) * 2654435761U + 12345U);
    const quint32 s = Mescola(r);
    const Citta &nasc = Comuni[r % Comuni.size()];
    const Citta &res = Comuni[s % Comuni.size()];
    // Name and birth date never repeat together, or the import would refuse the row as
    // a member already there: the 1,000 names take turns, and each round of them gets
    // its own birth day, 18,250 days (50 years) visited in a scattered order.
    const int k = i % 1000, giro = i / 1000;
    const QString nome = QString::fromUtf8(Cognomi[size_t(k) % Cognomi.size()]) + u' ' +
                         QString::fromUtf8(Nomi[size_t(k) / Cognomi.size()]);
    const QDate nascita = QDate(1950, 1, 1).addDays(qint64(giro) * 7919 % 18250);
    TScheda t;
    t.Scrivi(Campo::Tesserato, nome.toUpper());
    t.Scrivi(Campo::Carica, QString::fromUtf8(Cariche[(s >> 3) % Cariche.size()]));
    t.Scrivi(Campo::NumTessera, QStringLiteral("T%1").arg(i + 1, 6, 10, QLatin1Char('0')));
    t.Scrivi(Campo::DataRil, Data(r, 2023));
    t.Scrivi(Campo::DataScade, Data(s, 2026));
    t.Scrivi(Campo::DataNasc, nascita.toString(QStringLiteral("dd/MM/yyyy")));
    t.Scrivi(Campo::ComuneNasc, QString::fromUtf8(nasc.nome));
    t.Scrivi(Campo::ProvNasc, QString::fromUtf8(nasc.prov));
    t.Scrivi(Campo::Sesso, (r & 1) ? QStringLiteral("M") : QStringLiteral("F"));
    t.Scrivi(Campo::ComuneRes, QString::fromUtf8(res.nome));
    t.Scrivi(Campo::ProvRes, QString::fromUtf8(res.prov));
    t.Scrivi(Campo::CapRes, QString::fromUtf8(res.cap));
    t.Scrivi(Campo::IndirizzoRes, QStringLiteral("Via Garibaldi %1").arg(s % 200 + 1));
    t.Scrivi(Campo::Preavviso, QString::number((s >> 7) % 60));
    t.Scrivi(Campo::Titoli, QStringLiteral("Diploma di maturità scientifica"));
    t.Scrivi(Campo::TelCasa, QStringLiteral("06 %1").arg(r % 10000000));
    t.Scrivi(Campo::TelCel, QStringLiteral("333 %1").arg(s % 10000000));
    t.Scrivi(Campo::Email, QStringLiteral("socio%1@esempio.it").arg(i + 1));
    t.Scrivi(Campo::CodFisc, QStringLiteral("RSSMRA80A01H501U"));
    t.Scrivi(Campo::Note, QString::fromUtf8(Note[(r >> 11) % Note.size()]));
    t.Scrivi(Campo::Annullata, (s % 50 == 0) ? AnnullataSi : AnnullataNo);
    return t;
}

double PiccoMemoria()
{
    std::ifstream f("/proc/self/status");
    std::string riga;
    while (std::getline(f, riga))
        if (riga.rfind("VmHWM:", 0) == 0)
            return std::stod(riga.substr(6)) * 1024.0;
    return 0;
}

void AzzeraPicco()
{
    std::ofstream f("/proc/self/clear_refs");
    f << "5";
}

void GeneraArchivio(const QString &percorso, int n)
{
    QFile f(percorso);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write " + percorso.toStdString());
    for (int i = 0; i < n; ++i) {
        const TScheda s = SchedaSintetica(i);
        f.write(reinterpret_cast<const char *>(s.byte.data()), DimensioneScheda);
    }
}

QString CartellaConArchivio(int n)
{
    static QMap<int, QString> fatte;
    if (fatte.contains(n))
        return fatte.value(n);
    const QString cartella =
        QDir(QDir::tempPath())
            .filePath(QStringLiteral("quorvel-bench-v%1-%2").arg(VersioneDati).arg(n));
    QDir().mkpath(cartella);
    const QString archivio = TArchivio::Percorso(cartella);
    if (QFileInfo(archivio).size() != qint64(n) * DimensioneScheda)
        GeneraArchivio(archivio, n);
    fatte.insert(n, cartella);
    return cartella;
}
