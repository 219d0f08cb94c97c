// The storage on both backends, the folder and the server, case by case: what one holds
// and finds, the other holds and finds too.
#include "support/ServerProva.h"
#include "support/Supporto.h"

#include "archive/Errori.h"
#include "mail/core/RegistroAvvisi.h"
#include "storage/ConnessioneServer.h"
#include "storage/DepositoFile.h"
#include "storage/DepositoServer.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QSqlQuery>
#include <QtTest>

namespace {

const QString Password = QStringLiteral("segreta-anna");

// The archive of a new program folder: the folder itself, or (with `server`) a new
// database chosen in the folder's Quorvel.ini as the desk's archive, reached as anna.
std::unique_ptr<TDeposito> NuovoDeposito(const Ambiente &env, bool server, QString *nome = nullptr)
{
    if (server) {
        const QString db = ServerProva::NuovoDatabase();
        if (nome)
            *nome = db;
        ServerProva::CreaUtente(QStringLiteral("anna"), Password, true);
        const TParametriServer p = ServerProva::Parametri(db, QStringLiteral("anna"));
        ConnessioneServer::ScriviParametri(env.cartella(), p, true);
        ConnessioneServer::Imposta(p, Password);
    }
    return ApriDeposito(env.cartella());
}

TScheda Scheda(const QMap<Campo, QString> &campi)
{
    TScheda s;
    s.Scrivi(Campo::Annullata, AnnullataNo);
    for (auto it = campi.begin(); it != campi.end(); ++it)
        s.Scrivi(it.key(), it.value());
    return s;
}

QByteArray Jpeg(const QColor &colore, QSize dimensione = QSize(40, 50))
{
    QImage foto(dimensione, QImage::Format_RGB32);
    foto.fill(colore);
    QBuffer b;
    b.open(QIODevice::WriteOnly);
    QImageWriter(&b, "jpg").write(foto);
    return b.data();
}

// The search fixture: each record makes one filter case tell something.
struct Socio {
    const char *tesserato, *comune, *tessera, *scade, *codfisc, *note;
    bool annullata = false;
};
const QList<Socio> &Soci()
{
    static const QList<Socio> soci = {
        {"Rossi Mario", "Roma", "T0500", "31/12/2026", "RSSMRA80A01H501U", ""},                // 1
        {"ROSSI ANNA", "Forl\u00ec", "T0501", "31/12/2025", "RSSNNA81B41D704X", "sconto 10%"}, // 2
        {"Rossini Paolo", "FORL\u00cc", "T1500", "30/06/2026", "RSSPLA70C01D704Y", ""},        // 3
        {"Rossi Luigi", "Napoli", "T0500X", "31/12/2026", "RSSMRA75D01F839Z", "", true},       // 4
        {"Bianchi Carla", "Napoli", "T0502", "31/12/2027", "BNCCRL90E41F839A", "quota_socio"},
        {"Esposito Gennaro", "Villa Nap Alta", "T0503", "31/12/2025", "SPSGNR60H01F839B", ""},
        {"Verdi Giuseppe", "Forli", "T0504", "31/12/2025", "VRDGPP55L01D704C", ""},         // 7
        {"Mario Rossi", "Milano", "T0505", "31/12/2025", "RSSMRO66M01F205D", "a\\b"},       // 8
        {"Neri Franca", "Torino", "T0506", "15/03/2026", "RSSMRA88A41L219E", "Rossi"},      // 9
        {"Gallo Enzo", "Forl\u00ec-Cesena", "T0507", "31/12/2025", "GLLNZE77P01D704F", ""}, // 10
        {"Greco Sara", "Bari", "T05001", "31/12/2025", "GRCSRA92R41A662G", "100"},          // 11
    };
    return soci;
}

TScheda SchedaSocio(const Socio &s)
{
    TScheda r = Scheda({{Campo::Tesserato, QString::fromUtf8(s.tesserato)},
                        {Campo::ComuneRes, QString::fromUtf8(s.comune)},
                        {Campo::NumTessera, QString::fromUtf8(s.tessera)},
                        {Campo::DataScade, QString::fromUtf8(s.scade)},
                        {Campo::CodFisc, QString::fromUtf8(s.codfisc)},
                        {Campo::Note, QString::fromUtf8(s.note)}});
    if (s.annullata)
        r.Scrivi(Campo::Annullata, AnnullataSi);
    return r;
}

// The fixture's records, then members with nothing in common with any filter, up to 30.
void CaricaSoci(TDeposito &d)
{
    for (const Socio &s : Soci())
        d.AccodaScheda(SchedaSocio(s));
    for (int i = Soci().size() + 1; i <= 30; ++i)
        d.AccodaScheda(Scheda({{Campo::Tesserato, QStringLiteral("Socio %1").arg(i)},
                               {Campo::ComuneRes, QStringLiteral("Milano")},
                               {Campo::NumTessera, QStringLiteral("M%1").arg(i)},
                               {Campo::DataScade, QStringLiteral("31/12/2025")}}));
}

QList<int> Tutti(std::initializer_list<int> tranne)
{
    QList<int> r;
    for (int p = 1; p <= 30; ++p)
        if (std::find(tranne.begin(), tranne.end(), p) == tranne.end())
            r << p;
    return r;
}

} // namespace

using Chiavi = QList<std::pair<int, QString>>;
Q_DECLARE_METATYPE(Chiavi)

class TestDeposito : public QObject {
    Q_OBJECT
private slots:
    void cleanup();
    void sceltaDelDeposito();
    void schede_data();
    void schede();
    void cerca_data();
    void cerca();
    void elencoDiTutte_data();
    void elencoDiTutte();
    void foto_data();
    void foto();
    void documenti_data();
    void documenti();
    void datiEnte_data();
    void datiEnte();
    void registroAvvisi_data();
    void registroAvvisi();
    void importazione_data();
    void importazione();
    void annullaImportazione_data();
    void annullaImportazione();
    void versioni();
    void datiEnteDiUnAltroSportello();
};

void TestDeposito::cleanup()
{
    ConnessioneServer::Dimentica();
}

void AggiungiBackend()
{
    QTest::addColumn<bool>("server");
}

// The folder stays the default; a desk that chose the server gets it, or a plain refusal
// when no server is set up for this program.
void TestDeposito::sceltaDelDeposito()
{
    Ambiente env;
    QVERIFY(dynamic_cast<TDepositoFile *>(ApriDeposito(env.cartella()).get()));
    ConnessioneServer::ScriviParametri(env.cartella(), TParametriServer(), false);
    QVERIFY(dynamic_cast<TDepositoFile *>(ApriDeposito(env.cartella()).get()));
    ConnessioneServer::ScriviParametri(env.cartella(), TParametriServer(), true);
    try {
        ApriDeposito(env.cartella());
        QFAIL("un archivio sul server senza collegamento impostato");
    } catch (const ErroreFile &e) {
        QCOMPARE(e.testo(), QStringLiteral("Questa postazione usa l'archivio sul server, ma il "
                                           "collegamento al server non è impostato: aprire le "
                                           "impostazioni del collegamento e indicare il server."));
    }
    ConnessioneServer::Imposta(TParametriServer(), QString());
    QVERIFY(dynamic_cast<TDepositoServer *>(ApriDeposito(env.cartella()).get()));
}

void TestDeposito::schede_data()
{
    AggiungiBackend();
    QTest::newRow("cartella") << false;
    QTest::newRow("server") << true;
}

// Append, read, write and scan: accents, the euro sign, a character Windows-1252 lacks and
// texts past a field's length come back as the folder's file holds them.
void TestDeposito::schede()
{
    QFETCH(bool, server);
    if (server)
        SERVER_RICHIESTO();
    Ambiente env;
    const auto d = NuovoDeposito(env, server);
    QCOMPARE(d->NumeroSchede(), 0);
    const QString lungo = QStringLiteral("Università di Forlì ") + QString(60, u'x');
    const TScheda prima = Scheda({{Campo::Tesserato, QStringLiteral("  Nicolò Perù  ")},
                                  {Campo::Note, QStringLiteral("Quota 10 € – pagata da Łukasz")},
                                  {Campo::Carica, lungo},
                                  {Campo::ProvRes, QStringLiteral("FCX")},
                                  {Campo::Titoli, QString(300, u'à')}});
    QCOMPARE(d->AccodaScheda(prima), 1);
    QCOMPARE(d->AccodaScheda(Scheda({{Campo::Tesserato, QStringLiteral("Bruno")}})), 2);
    QCOMPARE(d->NumeroSchede(), 2);
    const TScheda letta = d->LeggiScheda(1);
    for (int i = 0; i < NumeroCampi; ++i)
        QCOMPARE(letta.Leggi(static_cast<Campo>(i)), prima.Leggi(static_cast<Campo>(i)));
    QCOMPARE(letta.Leggi(Campo::Tesserato), QStringLiteral("Nicolò Perù"));
    QCOMPARE(letta.Leggi(Campo::Note), QStringLiteral("Quota 10 € – pagata da ?ukasz"));
    QCOMPARE(letta.Leggi(Campo::Carica), lungo.left(50));
    QCOMPARE(letta.Leggi(Campo::ProvRes), QStringLiteral("FC"));
    QCOMPARE(letta.Leggi(Campo::Titoli), QString(250, u'à'));

    TScheda nuova = letta;
    nuova.Scrivi(Campo::Tesserato, QStringLiteral("Nicolò Perù d'Aosta"));
    d->ScriviScheda(2, nuova);
    QCOMPARE(d->LeggiScheda(2).Leggi(Campo::Tesserato), QStringLiteral("Nicolò Perù d'Aosta"));

    // A scan hands over the fields asked for, in order, and stops when told.
    QList<std::pair<int, QString>> visti;
    const Campo campi[] = {Campo::Tesserato};
    d->Scorri(campi, [&](int p, const TScheda &s) {
        visti.append({p, s.Leggi(Campo::Tesserato)});
        return true;
    });
    QCOMPARE(visti, (QList<std::pair<int, QString>>{{1, QStringLiteral("Nicolò Perù")},
                                                    {2, QStringLiteral("Nicolò Perù d'Aosta")}}));
    int quante = 0;
    d->Scorri(campi, [&](int, const TScheda &) { return ++quante < 1; });
    QCOMPARE(quante, 1);
    // No record past the last one; a failure ends the action, as the folder's file does.
    QVERIFY_THROWS_EXCEPTION(ErroreFile, d->LeggiScheda(3));
    QVERIFY_THROWS_EXCEPTION(ErroreFile, ApriDeposito(env.cartella())->ScriviScheda(3, nuova));
}

void TestDeposito::cerca_data()
{
    QTest::addColumn<bool>("server");
    QTest::addColumn<Chiavi>("chiavi");
    QTest::addColumn<QList<int>>("attese");
    const int T = static_cast<int>(Campo::Tesserato), C = static_cast<int>(Campo::ComuneRes),
              N = static_cast<int>(Campo::NumTessera), S = static_cast<int>(Campo::DataScade),
              F = static_cast<int>(Campo::CodFisc), O = static_cast<int>(Campo::Note);
    const struct {
        const char *nome;
        Chiavi chiavi;
        QList<int> attese;
    } casi[] = {
        {"nessuno", {}, Tutti({4})},
        {"rossi", {{T, "rossi"}}, {1, 2, 3, 8}},
        {"ROSSI con spazio", {{T, "ROSSI "}}, {1, 2}},
        {"forlì", {{C, QStringLiteral("forlì")}}, {2, 10}},
        {"FORLÌ", {{C, QStringLiteral("FORLÌ")}}, {3}},
        {"nap con spazio", {{C, "nap "}}, {6}},
        {"due filtri", {{T, "rossi"}, {C, "forl"}}, {2, 3}},
        {"T0500", {{N, "T0500"}}, {1, 11}},
        {"percento", {{O, "%"}}, {2}},
        {"trattino basso", {{O, "_"}}, {5}},
        {"barra rovescia", {{O, "\\"}}, {8}},
        {"/2026", {{S, "/2026"}}, {1, 3, 9}},
        {"rssmra", {{F, "rssmra"}}, {1, 9}},
        {"spazi", {{T, "   "}, {C, "\t "}}, Tutti({4})},
    };
    for (bool server : {false, true})
        for (const auto &c : casi)
            QTest::addRow("%s %s", server ? "server" : "cartella", c.nome)
                << server << c.chiavi << c.attese;
}

// One table of filters, the same positions from the folder's scan and the server's query.
void TestDeposito::cerca()
{
    QFETCH(bool, server);
    QFETCH(Chiavi, chiavi);
    QFETCH(QList<int>, attese);
    if (server)
        SERVER_RICHIESTO();
    Ambiente env;
    const auto d = NuovoDeposito(env, server);
    CaricaSoci(*d);
    std::vector<TChiaveRicerca> k;
    for (const auto &[campo, testo] : chiavi)
        k.push_back({static_cast<Campo>(campo), testo});
    const Campo campi[] = {Campo::Tesserato, Campo::NumTessera};
    QList<int> trovate;
    d->Cerca(k, campi, [&](int p, const TScheda &s) {
        trovate << p;
        // The fields asked for come along.
        return s.Leggi(Campo::NumTessera) == d->LeggiScheda(p).Leggi(Campo::NumTessera);
    });
    QCOMPARE(trovate, attese);
}

void TestDeposito::elencoDiTutte_data()
{
    schede_data();
}

// The list of every record (no filter) hands each visit the shown fields exactly as the
// record holds them, read alone: accents, Windows-1252's own signs, and on the server also
// texts another program wrote there (blanks around, a sign Windows-1252 lacks, a full
// field in twice as many bytes).
void TestDeposito::elencoDiTutte()
{
    QFETCH(bool, server);
    if (server)
        SERVER_RICHIESTO();
    Ambiente env;
    QString db;
    const auto d = NuovoDeposito(env, server, &db);
    CaricaSoci(*d);
    QCOMPARE(d->AccodaScheda(Scheda({{Campo::Tesserato, QStringLiteral("Nicol\u00F2 M\u00FCller")},
                                     {Campo::NumTessera, QStringLiteral("T0600")},
                                     {Campo::Recapito, QStringLiteral("cellulare")},
                                     {Campo::Note, QStringLiteral("10 \u20AC \u2013 ok")}})),
             31);
    d->AccodaScheda(Scheda({{Campo::Tesserato, QStringLiteral("Altro programma")}}));
    if (server)
        QVERIFY(ServerProva::Amministra(
            db, QStringLiteral("UPDATE quorvel.schede SET note = E' \\t\u0141\u00F3d\u017A  ', "
                               "tesserato = repeat('\u00E8', 50), recapito = ' 333 ' "
                               "WHERE posizione = 32")));
    const Campo campi[] = {Campo::Tesserato, Campo::NumTessera, Campo::DataScade, Campo::Recapito,
                           Campo::Note};
    QList<int> trovate;
    QStringList diverse;
    d->Cerca({}, campi, [&](int p, const TScheda &s) {
        trovate << p;
        const TScheda letta = d->LeggiScheda(p);
        for (const Campo c : campi) {
            int n = 0, m = 0;
            const unsigned char *a = s.Dati(c, &n);
            const unsigned char *b = letta.Dati(c, &m);
            if (QByteArray(reinterpret_cast<const char *>(a), n) !=
                QByteArray(reinterpret_cast<const char *>(b), m))
                diverse << QStringLiteral("%1: %2 / %3").arg(p).arg(s.Leggi(c), letta.Leggi(c));
        }
        return true;
    });
    QCOMPARE(trovate, Tutti({4}) << 31 << 32);
    QCOMPARE(diverse, QStringList());
    const TScheda nuova = d->LeggiScheda(31);
    QCOMPARE(nuova.Leggi(Campo::Note), QStringLiteral("10 \u20AC \u2013 ok"));
    if (server) {
        const TScheda altra = d->LeggiScheda(32);
        QCOMPARE(altra.Leggi(Campo::Tesserato), QString(50, QChar(0xE8)));
        QCOMPARE(altra.Leggi(Campo::Recapito), QStringLiteral("333"));
    }
}

void TestDeposito::foto_data()
{
    schede_data();
}

// Photos: JPEG bytes kept as given, a picture stored as the folder encodes it, and an
// append that brings its photo along.
void TestDeposito::foto()
{
    QFETCH(bool, server);
    if (server)
        SERVER_RICHIESTO();
    Ambiente env;
    const auto d = NuovoDeposito(env, server);
    QCOMPARE(d->AccodaScheda(Scheda({{Campo::Tesserato, QStringLiteral("Anna")}})), 1);
    QVERIFY(!d->EsisteFoto(1));
    QVERIFY(d->LeggiFoto(1).isNull());
    QVERIFY(!d->FotoLeggibile(1));
    QVERIFY(d->ScriviFotoJpeg(1, Jpeg(Qt::red)));
    QVERIFY(d->EsisteFoto(1));
    QVERIFY(d->FotoLeggibile(1));
    QCOMPARE(d->LeggiFoto(1).size(), QSize(40, 50));
    QImage verde(30, 20, QImage::Format_ARGB32);
    verde.fill(Qt::green);
    QVERIFY(d->ScriviFoto(1, verde));
    const QImage letta = d->LeggiFoto(1);
    QCOMPARE(letta.size(), QSize(30, 20));
    QVERIFY(qGreen(letta.pixel(5, 5)) > 200 && qRed(letta.pixel(5, 5)) < 60);
    // Bytes that are no picture: stored, but not readable.
    QVERIFY(d->ScriviFotoJpeg(1, QByteArray("non una foto")));
    QVERIFY(d->EsisteFoto(1));
    QVERIFY(!d->FotoLeggibile(1));
    QVERIFY(d->LeggiFoto(1).isNull());

    bool scritta = false;
    const int p = d->AccodaSchedaConFoto(Scheda({{Campo::Tesserato, QStringLiteral("Bruno")}}),
                                         Jpeg(Qt::blue, QSize(12, 16)), &scritta);
    QCOMPARE(p, 2);
    QVERIFY(scritta);
    QCOMPARE(d->LeggiFoto(2).size(), QSize(12, 16));
    QCOMPARE(d->LeggiScheda(2).Leggi(Campo::Tesserato), QStringLiteral("Bruno"));
}

void TestDeposito::documenti_data()
{
    schede_data();
}

// Attachments by plain name: stored, found, the same file told apart from another one,
// replaced only when asked, and opened from a local copy.
void TestDeposito::documenti()
{
    QFETCH(bool, server);
    if (server)
        SERVER_RICHIESTO();
    Ambiente env;
    const auto d = NuovoDeposito(env, server);
    QTemporaryDir altrove;
    const QString primo = altrove.filePath(QStringLiteral("ricevuta.pdf"));
    const QString secondo = altrove.filePath(QStringLiteral("nuova.pdf"));
    for (const auto &[percorso, testo] : {std::pair{primo, QByteArray("prima versione")},
                                          std::pair{secondo, QByteArray("seconda versione")}}) {
        QFile f(percorso);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(testo);
    }
    const QString nome = QStringLiteral("ricevuta.pdf");
    QVERIFY(!d->EsisteDocumento(nome));
    QCOMPARE(d->DocumentoDaAprire(nome).isEmpty(), server);
    QCOMPARE(d->SalvaDocumento(nome, primo, false), QString());
    QVERIFY(d->EsisteDocumento(nome));
    QVERIFY(!d->StessoDocumento(nome, secondo));
    QCOMPARE(d->SalvaDocumento(nome, secondo, false), QString());
    QCOMPARE(Costruttore::LeggiFile(d->DocumentoDaAprire(nome)), QByteArray("prima versione"));
    QCOMPARE(d->SalvaDocumento(nome, secondo, true), QString());
    QCOMPARE(Costruttore::LeggiFile(d->DocumentoDaAprire(nome)), QByteArray("seconda versione"));
    QVERIFY(d->StessoDocumento(nome, d->DocumentoDaAprire(nome)));
    for (const QString &cattivo : {QStringLiteral("../ricevuta.pdf"), QStringLiteral("/etc/passwd"),
                                   QStringLiteral(".."), QString()}) {
        QVERIFY(!d->EsisteDocumento(cattivo));
        QVERIFY(d->DocumentoDaAprire(cattivo).isEmpty());
    }
    QVERIFY(!d->SalvaDocumento(QStringLiteral("mancante.pdf"),
                               altrove.filePath(QStringLiteral("mancante.pdf")), false)
                 .isEmpty());
    QVERIFY(!d->EsisteDocumento(QStringLiteral("mancante.pdf")));
}

void TestDeposito::datiEnte_data()
{
    schede_data();
}

// Organization data, card options and logo come back as written.
void TestDeposito::datiEnte()
{
    QFETCH(bool, server);
    if (server)
        SERVER_RICHIESTO();
    Ambiente env;
    const auto d = NuovoDeposito(env, server);
    QCOMPARE(d->LeggiDatiEnte().Denominazione, QString());
    QCOMPARE(d->LeggiOpzioniTessera().TestoQR, TestoQRPredefinito);
    const TDatiEnte dati{QStringLiteral(" Circolo Forlì "), QStringLiteral("Sezione \"Nord\""),
                         QStringLiteral("dal 1990"), QStringLiteral("Tessera 2026")};
    d->ScriviDatiEnte(dati);
    const TDatiEnte letti = d->LeggiDatiEnte();
    QCOMPARE(letti.Denominazione, QStringLiteral("Circolo Forlì"));
    QCOMPARE(letti.Sottotitolo1, dati.Sottotitolo1);
    QCOMPARE(letti.Sottotitolo2, dati.Sottotitolo2);
    QCOMPARE(letti.Annotazioni, dati.Annotazioni);
    TOpzioniTessera o;
    o.CodiceQR = true;
    o.TestoQR = QStringLiteral("{tessera}");
    o.Retro = true;
    o.TestoRetro = QStringLiteral("Riga uno\nC:\\cartella\nRiga tre");
    d->ScriviOpzioniTessera(o);
    const TOpzioniTessera lette = d->LeggiOpzioniTessera();
    QVERIFY(lette.CodiceQR && lette.Retro);
    QCOMPARE(lette.TestoQR, o.TestoQR);
    QCOMPARE(lette.TestoRetro, o.TestoRetro);
    QVERIFY(d->LeggiLogo().isNull());
    QImage logo(300, 100, QImage::Format_RGB32);
    logo.fill(Qt::darkBlue);
    QVERIFY(d->SalvaLogo(logo));
    QCOMPARE(d->LeggiLogo().size(), QSize(DatiEnteFile::LarghezzaLogo, DatiEnteFile::AltezzaLogo));
}

void TestDeposito::registroAvvisi_data()
{
    schede_data();
}

// The reminder log: the last reminder sent to each member, by position and name.
void TestDeposito::registroAvvisi()
{
    QFETCH(bool, server);
    if (server)
        SERVER_RICHIESTO();
    Ambiente env;
    const auto d = NuovoDeposito(env, server);
    QVERIFY(d->UltimiInvii().isEmpty());
    d->AccodaScheda(Scheda({{Campo::Tesserato, QStringLiteral("Nicolò Rossi")}}));
    d->AccodaScheda(Scheda({{Campo::Tesserato, QStringLiteral("Bruno")}}));
    {
        const auto registro = d->ApriRegistroAvvisi();
        QVERIFY(registro);
        using RegistroAvvisi::TRigaAvviso;
        const QDate scade(2026, 3, 31);
        for (const TRigaAvviso &r :
             {TRigaAvviso{QDate(2026, 1, 10), QTime(9, 0), 1, QStringLiteral("Nicolò Rossi"),
                          QStringLiteral("n@esempio.it"), scade, RegistroAvvisi::Inviato},
              TRigaAvviso{QDate(2026, 2, 1), QTime(9, 5), 1, QStringLiteral("Nicolò Rossi"),
                          QStringLiteral("n@esempio.it"), scade, RegistroAvvisi::Inviato},
              TRigaAvviso{QDate(2026, 2, 2), QTime(9, 6), 2, QStringLiteral("Bruno"),
                          QStringLiteral("b@esempio.it"), scade,
                          QStringLiteral("errore: casella piena")},
              TRigaAvviso{QDate(2026, 2, 2), QTime(9, 7), 0, QString(), QString(), QDate(),
                          QStringLiteral("interrotto")}})
            QVERIFY(registro->Scrivi(r));
    }
    const QHash<QString, QDate> ultimi = d->UltimiInvii();
    QCOMPARE(ultimi.size(), 1);
    QCOMPARE(ultimi.value(RegistroAvvisi::Chiave(1, QStringLiteral("Nicolò Rossi"))),
             QDate(2026, 2, 1));
}

void TestDeposito::importazione_data()
{
    QTest::addColumn<bool>("server");
    QTest::addColumn<QString>("come");
    QTest::addColumn<int>("schede");
    for (bool server : {false, true}) {
        const char *dove = server ? "server" : "cartella";
        QTest::addRow("%s confermata", dove) << server << "conferma" << 4;
        QTest::addRow("%s annullata", dove) << server << "annulla" << 1;
    }
    QTest::newRow("server riga rifiutata") << true << "nul" << 1;
    QTest::newRow("server altra postazione") << true << "altra" << 2;
    QTest::newRow("server annullata a righe inviate") << true << "molte" << 1;
}

// An import is all or nothing: confirmed, its records follow the existing one in order;
// dropped (also once many rows went to the server), refused at a row, or overtaken by
// another desk's append, it leaves nothing.
void TestDeposito::importazione()
{
    const QString NotaDifficile =
        QStringLiteral("\"Già\" a\\b\tc\nd") + QChar(1) + u'e' + QChar(0x1f) + u'f';
    QFETCH(bool, server);
    QFETCH(QString, come);
    QFETCH(int, schede);
    if (server)
        SERVER_RICHIESTO();
    Ambiente env;
    const auto d = NuovoDeposito(env, server);
    d->AccodaScheda(Scheda({{Campo::Tesserato, QStringLiteral("Già presente")}}));
    {
        auto importazione = d->IniziaImportazione(d->NumeroSchede());
        for (const char *nome : {"Primo", "Secondo Forlì"})
            importazione->Accoda(Scheda({{Campo::Tesserato, QString::fromUtf8(nome)}}));
        importazione->Accoda(
            Scheda({{Campo::Tesserato, QStringLiteral("Terzo")}, {Campo::Note, NotaDifficile}}));
        if (come == QLatin1String("conferma")) {
            importazione->Conferma({});
        } else if (come == QLatin1String("nul")) {
            // QPSQL cannot send a NUL: the row is refused and the caller drops the import.
            QVERIFY_THROWS_EXCEPTION(
                ErroreFile,
                importazione->Accoda(Scheda(
                    {{Campo::Note, QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b")}})));
        } else if (come == QLatin1String("altra")) {
            d->AccodaScheda(Scheda({{Campo::Tesserato, QStringLiteral("Da un'altra postazione")}}));
            QVERIFY_THROWS_EXCEPTION(ErroreFile, importazione->Conferma({}));
        } else if (come == QLatin1String("molte")) {
            for (int i = 0; i < 3000; ++i)
                importazione->Accoda(Scheda({{Campo::Note, QString(200, u'x')}}));
        }
    }
    // The connection is free again for what follows.
    QCOMPARE(d->NumeroSchede(), schede);
    if (schede == 4) {
        QCOMPARE(d->LeggiScheda(1).Leggi(Campo::Tesserato), QStringLiteral("Già presente"));
        QCOMPARE(d->LeggiScheda(3).Leggi(Campo::Tesserato), QStringLiteral("Secondo Forlì"));
        QCOMPARE(d->LeggiScheda(4).Leggi(Campo::Annullata), AnnullataNo);
        // The server gets the rows in COPY's text format: quotes, backslashes and control
        // characters arrive as they were.
        if (server)
            QCOMPARE(d->LeggiScheda(4).Leggi(Campo::Note), NotaDifficile);
        // Appends after an import go on from its last position.
        QCOMPARE(d->AccodaScheda(Scheda({{Campo::Tesserato, QStringLiteral("Dopo")}})), 5);
    }
}

void TestDeposito::annullaImportazione_data()
{
    QTest::addColumn<bool>("server");
    QTest::addColumn<QString>("dopo");   // what happens after the import
    QTest::addColumn<QString>("perche"); // the server's reason for refusing
    for (bool server : {false, true}) {
        const char *dove = server ? "server" : "cartella";
        QTest::addRow("%s subito", dove) << server << ""
                                         << "";
        QTest::addRow("%s dopo un'aggiunta", dove)
            << server << "aggiunta"
            << "Dopo l'importazione sono state aggiunte altre schede, "
               "dalla n. 4.";
        QTest::addRow("%s dopo una modifica", dove)
            << server << "modifica"
            << "La scheda n. 3, importata, è stata modificata.";
    }
    QTest::newRow("server dopo un avviso")
        << true << "avviso"
        << "Alla scheda n. 2, importata, è già stato inviato un avviso.";
}

// The last import is undone, its records and photos gone and the next append back at its
// first position, only while the archive is as the import left it; otherwise it says why.
void TestDeposito::annullaImportazione()
{
    QFETCH(bool, server);
    QFETCH(QString, dopo);
    QFETCH(QString, perche);
    if (server)
        SERVER_RICHIESTO();
    Ambiente env;
    const auto d = NuovoDeposito(env, server);
    QVERIFY(!d->AnnullaUltimaImportazione().riuscito); // nothing imported yet
    d->AccodaScheda(Scheda({{Campo::Tesserato, QStringLiteral("Già presente")}}));
    {
        auto importazione = d->IniziaImportazione(d->NumeroSchede());
        for (const char *nome : {"Primo", "Secondo"})
            importazione->Accoda(Scheda({{Campo::Tesserato, QString::fromUtf8(nome)}}));
        importazione->Conferma({3}); // the import brings a photo for its second record
    }
    QVERIFY(d->ScriviFotoJpeg(3, Jpeg(Qt::red)));
    if (dopo == QLatin1String("aggiunta"))
        d->AccodaScheda(Scheda({{Campo::Tesserato, QStringLiteral("Dopo")}}));
    else if (dopo == QLatin1String("modifica"))
        d->ScriviScheda(3, Scheda({{Campo::Tesserato, QStringLiteral("Secondo bis")}}));
    else if (dopo == QLatin1String("avviso"))
        QVERIFY(d->ApriRegistroAvvisi()->Scrivi({QDate(2026, 1, 2), QTime(9, 0), 2,
                                                 QStringLiteral("Primo"), QString(), QDate(),
                                                 RegistroAvvisi::Inviato}));
    const TDeposito::RipristinoImportazione r = d->AnnullaUltimaImportazione();
    if (dopo.isEmpty()) {
        QVERIFY2(r.riuscito, qPrintable(r.testo));
        QVERIFY(r.testo.startsWith(QStringLiteral("Importazione del ")));
        QVERIFY(r.testo.endsWith(QStringLiteral(" annullata: l'archivio è tornato com'era "
                                                "prima.")));
        QCOMPARE(d->NumeroSchede(), 1);
        QVERIFY(!d->EsisteFoto(3));
        QCOMPARE(d->AccodaScheda(Scheda({{Campo::Tesserato, QStringLiteral("Nuovo")}})), 2);
        QVERIFY(!d->AnnullaUltimaImportazione().riuscito); // that import is gone
        return;
    }
    QVERIFY(!r.riuscito);
    QVERIFY2(r.testo.startsWith(QStringLiteral("Impossibile annullare l'importazione del ")),
             qPrintable(r.testo));
    QVERIFY2(r.testo.contains(QStringLiteral(": l'archivio è stato modificato dopo "
                                             "l'importazione.\n\r\n\r")),
             qPrintable(r.testo));
    if (server)
        QVERIFY2(r.testo.endsWith(perche), qPrintable(r.testo));
    QCOMPARE(d->NumeroSchede(), dopo == QLatin1String("aggiunta") ? 4 : 3);
    QVERIFY(d->EsisteFoto(3));
}

// A save made with a stale version writes nothing and says who saved first, when, and
// what the record holds now; a save with the current version goes through.
void TestDeposito::versioni()
{
    SERVER_RICHIESTO();
    Ambiente env;
    const auto d = NuovoDeposito(env, true);
    d->AccodaScheda(Scheda({{Campo::Tesserato, QStringLiteral("Anna")}}));
    const TDeposito::TSchedaLetta letta = d->LeggiSchedaConVersione(1);
    QCOMPARE(letta.versione, qint64(1));
    d->ScriviScheda(1, Scheda({{Campo::Tesserato, QStringLiteral("Anna Maria")}}));
    try {
        d->ScriviSchedaSeInvariata(1, letta.versione,
                                   Scheda({{Campo::Tesserato, QStringLiteral("Anna Rita")}}));
        QFAIL("salvata su una versione superata");
    } catch (const ErroreConflitto &e) {
        QCOMPARE(e.posizione, 1);
        QCOMPARE(e.versione, qint64(2));
        QCOMPARE(e.da, QStringLiteral("anna"));
        QVERIFY(e.il.isValid());
        QCOMPARE(e.attuale.Leggi(Campo::Tesserato), QStringLiteral("Anna Maria"));
        QVERIFY(e.testo().startsWith(QStringLiteral("La scheda n. 1 è stata modificata "
                                                    "dall'utente anna alle ")));
    }
    QCOMPARE(d->LeggiScheda(1).Leggi(Campo::Tesserato), QStringLiteral("Anna Maria"));
    QCOMPARE(d->ScriviSchedaSeInvariata(1, 2, Scheda({{Campo::Tesserato, QStringLiteral("R")}})),
             qint64(3));
    QCOMPARE(d->LeggiSchedaConVersione(1).versione, qint64(3));
}

// Organization data by compare-and-set: a desk writes only what it changed, and never over
// a value another desk changed after it read.
void TestDeposito::datiEnteDiUnAltroSportello()
{
    SERVER_RICHIESTO();
    Ambiente env;
    const auto d = NuovoDeposito(env, true);
    d->ScriviDatiEnte({QStringLiteral("Circolo"), QStringLiteral("Nord"), QString(), QString()});
    const TDatiEnte letti = d->LeggiDatiEnte();
    // Another desk changes the first subtitle meanwhile.
    QVERIFY(ServerProva::Amministra(
        ConnessioneServer::LeggiParametri(env.cartella()).database,
        QStringLiteral("UPDATE quorvel.impostazioni SET valore = 'Sud' WHERE chiave = "
                       "'Sottotitolo 1'")));
    TDatiEnte miei = letti;
    miei.Annotazioni = QStringLiteral("Tessera 2026");
    QVERIFY(d->ScriviDatiEnteSeInvariati(letti, miei)); // only Annotazioni changed here
    QCOMPARE(d->LeggiDatiEnte().Sottotitolo1, QStringLiteral("Sud"));
    QCOMPARE(d->LeggiDatiEnte().Annotazioni, QStringLiteral("Tessera 2026"));
    miei.Sottotitolo1 = QStringLiteral("Est");
    QVERIFY(!d->ScriviDatiEnteSeInvariati(letti, miei)); // changed elsewhere since read
    QCOMPARE(d->LeggiDatiEnte().Sottotitolo1, QStringLiteral("Sud"));
}

QTEST_GUILESS_MAIN(TestDeposito)
#include "tst_deposito.moc"
