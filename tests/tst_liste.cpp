// Archive search, renewal list and the printed lists, driven through their screens.
#include "cards/Tessera.h"
#include "lists/Consegna.h"
#include "lists/Riepilogo.h"
#include "lists/Sospesi.h"
#include "lists/TrovaAnagrafica.h"
#include "registry/Anagrafica.h"
#include "support/Supporto.h"
#include "widgets/Controlli.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QtTest>

#include <functional>
#include <memory>

using Campi = QMap<QByteArray, QByteArray>;

namespace {

// A member not cancelled, with the fields given (Latin-1 bytes as stored).
QByteArray Socio(const QByteArray &nome, Campi altri = {})
{
    altri.insert("Tesserato", nome);
    if (!altri.contains("Annullata"))
        altri.insert("Annullata", "No");
    return Costruttore::Record(altri);
}

QStringList Righe(QWidget *schermata)
{
    auto *lst = Controllo<QListView>(schermata, "lstRecords");
    QStringList r;
    for (int i = 0; i < lst->model()->rowCount(); ++i)
        r << lst->model()->index(i, 0).data().toString();
    return r;
}

QStringList Nomi(QWidget *schermata)
{
    QStringList r;
    for (const QString &riga : Righe(schermata))
        r << riga.left(30).trimmed();
    return r;
}

int Selezionata(QWidget *schermata)
{
    auto *lst = Controllo<QListView>(schermata, "lstRecords");
    return lst->currentIndex().isValid() ? lst->currentIndex().row() : -1;
}

void DoppioClic(QWidget *schermata, int riga)
{
    auto *lst = Controllo<QListView>(schermata, "lstRecords");
    const QModelIndex i = lst->model()->index(riga, 0);
    lst->scrollTo(i);
    const QPoint p = lst->visualRect(i).center();
    QTest::mouseClick(lst->viewport(), Qt::LeftButton, {}, p);
    QTest::mouseDClick(lst->viewport(), Qt::LeftButton, {}, p);
}

// Types like a keyboard, accented letters included.
void Digita(QWidget *w, const QString &testo)
{
    for (QChar c : testo) {
        if (c.unicode() < 128)
            QTest::keyClick(w, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, w, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

// Types the filters (box name, text) and presses Cerca.
void Cerca(QWidget *schermata, const QStringList &filtri)
{
    for (qsizetype i = 0; i + 1 < filtri.size(); i += 2) {
        auto *box = schermata->findChild<QLineEdit *>(filtri[i]);
        if (!box)
            throw std::runtime_error("no filter " + filtri[i].toStdString());
        Digita(box, filtri[i + 1]);
    }
    Controllo<QPushButton>(schermata, "btnCerca")->click();
}

void Trova(QWidget *schermata, const QString &chiave)
{
    auto *txt = Controllo<QLineEdit>(schermata, "txtTrova");
    txt->clear();
    Digita(txt, chiave);
    Controllo<QPushButton>(schermata, "btnTrova")->click();
}

// An opener carrying the single-card controls and the nine slots A..I.
// An opener with the single card ("tessera", no suffix) and the nine slots ("tessere_0N",
// suffix "_A".."_I"), receiving as the card screens do.
struct Apritore : QWidget, TApritoreRicerca {
    struct Posto : TRiceventeScheda {
        Apritore *apritore = nullptr;
        QString coda;
        void RiceviScheda(const TScheda &s, int posizione) override
        {
            const std::pair<const char *, Campo> campi[] = {{"txtTesserato", Campo::Tesserato},
                                                            {"txtCarica", Campo::Carica},
                                                            {"txtNumTessera", Campo::NumTessera},
                                                            {"txtDataRil", Campo::DataRil},
                                                            {"txtDataScade", Campo::DataScade}};
            for (const auto &[nome, campo] : campi)
                apritore->findChild<QLabel *>(QLatin1String(nome) + coda)->setText(s.Leggi(campo));
            apritore->findChild<QLabel *>(QStringLiteral("lblPosizione"))
                ->setText(QString::number(posizione));
            const QImage foto = Consegna::Foto(posizione);
            apritore->findChild<TImmagine *>(QStringLiteral("imgFoto") + coda)
                ->SetPicture(foto.isNull() ? Immagine(4, 4, Qt::green) : foto);
        }
    };
    std::array<Posto, 10> posti;

    Apritore()
    {
        const QStringList code = {"", "_A", "_B", "_C", "_D", "_E", "_F", "_G", "_H", "_I"};
        for (int i = 0; i < code.size(); ++i) {
            const QString &c = code.at(i);
            for (const char *n :
                 {"txtTesserato", "txtCarica", "txtNumTessera", "txtDataRil", "txtDataScade"})
                (new QLabel(this))->setObjectName(QLatin1String(n) + c);
            (new TImmagine(this))->setObjectName(QStringLiteral("imgFoto") + c);
            posti[size_t(i)].apritore = this;
            posti[size_t(i)].coda = c;
        }
        (new QLabel(this))->setObjectName(QStringLiteral("lblPosizione"));
    }
    TRiceventeScheda *RiceventeScheda(const QString &modo) override
    {
        if (modo == QLatin1String("tessera"))
            return &posti[0];
        const int i = Consegna::IndiceSlot(modo);
        return i < 0 ? nullptr : &posti[size_t(i) + 1];
    }
    QString Testo(const QString &nome) const
    {
        auto *l = findChild<QLabel *>(nome);
        return l ? l->text() : QStringLiteral("<missing>");
    }
    QRgb Foto(const QString &coda) const
    {
        return findChild<TImmagine *>(QStringLiteral("imgFoto") + coda)->Picture().pixel(0, 0);
    }
};

// Opens the search from `apritore` in mode `modo` as its opener does, and lets `azione`
// act on it; returns the screen's result.
int ApriRicerca(QWidget *apritore, const QString &modo, Ambiente &env,
                const std::function<void(QDialog *)> &azione)
{
    auto *f = new TfrmTrovaAnagrafica(apritore);
    Controllo<QLabel>(f, "lblMemory")->setText(modo);
    env->modale = azione;
    const int r = Piattaforma::MostraModale(f);
    delete f;
    return r;
}

} // namespace

class TestListe : public QObject {
    Q_OBJECT

private slots:
    void ricerca_data();
    void ricerca();
    void ogniFiltroIlSuoCampo();
    void catenaInvioEdEvidenza();
    void rigaScheda();
    void ordine();
    void archivioInaccessibile();
    void attendereDuranteLaRicerca();

    void trovaNellaLista();
    void trovaSuListaVuota();

    void consegnaRigaUguale_data();
    void consegnaRigaUguale();
    void consegnaPerModo_data();
    void consegnaPerModo();
    void consegnaAllArchivio_data();
    void consegnaAllArchivio();
    void consegnaSchedaSparita();
    void doppioClicSottoLeRighe_data();
    void doppioClicSottoLeRighe();
    void consegnaAllaTessera();

    void rinnovo_data();
    void rinnovo();
    void rinnovoArchivioVuoto();

    void stampaLungaSuPiuPagine();
    void stampaListaVuotaERinnovo();
    void stampanteGuasta_data();
    void stampanteGuasta();
};

// ---------------------------------------------------------------- search

void TestListe::ricerca_data()
{
    QTest::addColumn<QStringList>("filtri");
    QTest::addColumn<QStringList>("attesi");

    const QStringList tutti = {"BIANCHI ANNA", "COSTA ELIO", "ROSSI MARIO", "VERDI LUCA"};
    QTest::newRow("all filters empty") << QStringList{} << tutti;
    QTest::newRow("lower case finds both")
        << QStringList{"txtComuneRes", "nap"}
        << QStringList{"BIANCHI ANNA", "COSTA ELIO", "ROSSI MARIO"};
    QTest::newRow("upper case finds both")
        << QStringList{"txtComuneRes", "NAP"}
        << QStringList{"BIANCHI ANNA", "COSTA ELIO", "ROSSI MARIO"};
    QTest::newRow("small e grave")
        << QStringList{"txtNote", QString::fromUtf8("caffè")} << QStringList{"ROSSI MARIO"};
    QTest::newRow("capital E grave")
        << QStringList{"txtNote", QString::fromUtf8("CAFFÈ")} << QStringList{"BIANCHI ANNA"};
    QTest::newRow("trailing blank counts")
        << QStringList{"txtComuneRes", "nap "} << QStringList{"COSTA ELIO"};
    QTest::newRow("year in expiry")
        << QStringList{"txtDataScade", "2026"} << QStringList{"BIANCHI ANNA", "COSTA ELIO"};
    QTest::newRow("two filters both match")
        << QStringList{"txtComuneRes", "nap", "txtCarica", "presidente"}
        << QStringList{"ROSSI MARIO"};
    QTest::newRow("two filters one fails")
        << QStringList{"txtComuneRes", "roma", "txtCarica", "presidente"} << QStringList{};
    QTest::newRow("blank-only filter does not stand in")
        << QStringList{"txtComuneRes", "milano", "txtNote", " "} << QStringList{};
    QTest::newRow("blank-only filter alone") << QStringList{"txtNote", "  "} << tutti;
}

void TestListe::ricerca()
{
    QFETCH(QStringList, filtri);
    QFETCH(QStringList, attesi);
    Ambiente env;
    Costruttore::ScriviArchivio(
        env.Percorso("Tesserati.pro"),
        {Socio("ROSSI MARIO", {{"ComuneRes", "Napoli"},
                               {"DataScade", "31/12/2025"},
                               {"Carica", "Presidente"},
                               {"Note", "caff\xE8"}}),
         Socio("BIANCHI ANNA", {{"ComuneRes", "NAPOLI"},
                                {"DataScade", "15/03/2026"},
                                {"Carica", "Socio"},
                                {"Note", "CAFF\xC8"}}),
         Socio("COSTA ELIO", {{"ComuneRes", "Nap Est"}, {"DataScade", "10/10/2026"}}),
         Socio("NERI PAOLO", {{"ComuneRes", "Napoli"}, {"Annullata", "S\xEC"}}),
         Socio("GIALLI SARA", {{"ComuneRes", "Napoli"}, {"Annullata", ""}}),
         Socio("VERDI LUCA",
               {{"ComuneRes", "Roma"}, {"DataScade", "01/06/2024"}, {"Note", "quota versata"}})});

    TfrmTrovaAnagrafica w;
    w.show();
    Cerca(&w, filtri);
    QCOMPARE(Nomi(&w), attesi);
    QVERIFY(!Controllo<QWidget>(&w, "panAvvio")->isVisible());
    QVERIFY(Controllo<QWidget>(&w, "panContainer")->isVisible());
    QCOMPARE(Controllo<QLabel>(&w, "lblTrovate")->text(),
             QStringLiteral("Il presente riepilogo contiene %1 schede.").arg(attesi.size()));
    QVERIFY(Controllo<QLineEdit>(&w, "txtTrova")->hasFocus() || !QApplication::activeWindow());
    QVERIFY(env->messaggi.isEmpty());
}

void TestListe::ogniFiltroIlSuoCampo()
{
    // Each box compares against its own field: a value typed into its box finds the record.
    const QList<std::pair<const char *, QByteArray>> tabella = {
        {"txtTesserato", "Tesserato"},   {"txtCarica", "Carica"},
        {"txtNumTessera", "NumTessera"}, {"txtDataRil", "DataRil"},
        {"txtDataScade", "DataScade"},   {"txtComuneNasc", "ComuneNasc"},
        {"txtComuneRes", "ComuneRes"},   {"txtCodFisc", "CodFisc"},
        {"txtTitoli", "Titoli"},         {"txtNote", "Note"}};
    Ambiente env;
    Campi campi;
    for (const auto &[box, campo] : tabella)
        campi.insert(campo, "v" + campo.left(6));
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"),
                                {Socio("vTesser", campi), Socio("ALTRO")});
    for (const auto &[box, campo] : tabella) {
        TfrmTrovaAnagrafica w;
        w.show();
        Cerca(&w, {QString::fromLatin1(box), QString::fromLatin1("v" + campo.left(6))});
        QVERIFY2(Nomi(&w) == QStringList{"vTesser"}, box);
    }
}

void TestListe::catenaInvioEdEvidenza()
{
    Ambiente env;
    TfrmTrovaAnagrafica w;
    w.show();
    QApplication::setActiveWindow(&w);
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const QList<std::pair<const char *, const char *>> catena = {
        {"txtTesserato", "effCampo01"},  {"txtCarica", "effCampo02"},
        {"txtNumTessera", "effCampo09"}, {"txtDataRil", "effCampo10"},
        {"txtDataScade", "effCampo05"},  {"txtComuneNasc", "effCampo06"},
        {"txtComuneRes", "effCampo07"},  {"txtCodFisc", "effCampo08"},
        {"txtTitoli", "effCampo03"},     {"txtNote", "effCampo04"},
        {"txtTesserato", "effCampo01"}};
    QCOMPARE(Controllo<QLabel>(&w, "lblCampo03")->text(),
             QStringLiteral("Titolo di studio e altre qualifiche:"));
    for (qsizetype i = 0; i < catena.size(); ++i) {
        auto *box = Controllo<QLineEdit>(&w, catena[i].first);
        QTRY_VERIFY2(box->hasFocus(), catena[i].first);
        QVERIFY(Controllo<QWidget>(&w, catena[i].second)->isVisible());
        if (i > 0 && i + 1 < catena.size())
            QVERIFY(!Controllo<QWidget>(&w, catena[i - 1].second)->isVisible());
        QTest::keyClick(box, Qt::Key_Return);
    }
}

void TestListe::rigaScheda()
{
    Ambiente env;
    const QByteArray lungo = "ABCDEFGHIJKLMNOPQRSTUVWXYZ123456789"; // 35 characters
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"),
                                {Socio(lungo, {{"NumTessera", "T000123"},
                                               {"DataScade", "31/12/2025"},
                                               {"Recapito", "3331234567890"},
                                               {"Note", "Quota [DATE] pagata"}}),
                                 Socio("ROSSI MARIO")});
    TfrmTrovaAnagrafica w;
    w.show();
    Cerca(&w, {});
    const QString blank = QStringLiteral(" ");
    QCOMPARE(
        Righe(&w),
        (QStringList{"ABCDEFGHIJKLMNOPQRSTUVWXYZ1234  Tessera n. T000123" + blank.repeated(13) +
                         "  Scad. 31/12/2025  Tel. 333123456789  Quota [DATE] pagata",
                     "ROSSI MARIO" + blank.repeated(19) + "  Tessera n. " + blank.repeated(20) +
                         "  Scad. " + blank.repeated(10) + "  Tel. " + blank.repeated(12) + "  "}));
    QCOMPARE(Righe(&w).at(1).size(), 102);
}

void TestListe::ordine()
{
    Ambiente env;
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"),
                                {Socio("\xC9LITE"), Socio("ROSSI_X"),
                                 Socio("ROSSI MARIO", {{"NumTessera", "T2"}}), Socio("rossi anna"),
                                 Socio("ROSS"), Socio("ROSSI MARIO", {{"NumTessera", "T10"}})});
    TfrmTrovaAnagrafica w;
    w.show();
    Cerca(&w, {});
    const QStringList righe = Righe(&w);
    QCOMPARE(Nomi(&w), (QStringList{"ROSS", "rossi anna", "ROSSI MARIO", "ROSSI MARIO", "ROSSI_X",
                                    QString::fromUtf8("ÉLITE")}));
    QVERIFY(righe.at(2).contains("T10 "));
    QVERIFY(righe.at(3).contains("T2 "));
}

void TestListe::archivioInaccessibile()
{
    Ambiente env;
    QDir().mkpath(env.Percorso("Tesserati.pro")); // a folder where the archive should be
    TfrmTrovaAnagrafica w;
    w.show();
    Cerca(&w, {"txtTesserato", "rossi"});
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->messaggi.at(0).forma, Piattaforma::Forma::Messaggio);
    QCOMPARE(env->messaggi.at(0).testo,
             QStringLiteral("Attenzione: il sistema non permette di accedere all'archivio.\n\r\n\r"
                            "Accertarsi di possedere i privilegi di scrittura nella cartella di "
                            "installazione del programma."));
    QVERIFY(Controllo<QWidget>(&w, "panAvvio")->isVisible());
    QVERIFY(!Controllo<QWidget>(&w, "panContainer")->isVisible());
    QVERIFY(!Controllo<QWidget>(&w, "lblAttendere")->isVisible());
}

void TestListe::attendereDuranteLaRicerca()
{
    Ambiente env;
    TfrmTrovaAnagrafica w;
    w.show();
    auto *cerca = Controllo<QPushButton>(&w, "btnCerca");
    auto *attendere = Controllo<QLabel>(&w, "lblAttendere");
    QVERIFY(!attendere->isVisible());
    QTest::mousePress(cerca, Qt::LeftButton);
    QVERIFY(attendere->isVisible());
    QCOMPARE(attendere->text(), QStringLiteral("Ricerca schede in corso. Attendere..."));
    QTest::mouseRelease(cerca, Qt::LeftButton);
    QVERIFY(Controllo<QWidget>(&w, "panContainer")->isVisible());
    QCOMPARE(Controllo<QLabel>(&w, "lblConta")->text(), QStringLiteral("0"));
}

// ---------------------------------------------------------------- find inside the list

void TestListe::trovaNellaLista()
{
    Ambiente env;
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"),
                                {Socio("GAMMA", {{"Note", "Chiave"}}), Socio("BETA"),
                                 Socio("ALFA", {{"Note", "chiave"}}), Socio("DELTA")});
    TfrmTrovaAnagrafica w;
    w.show();
    Cerca(&w, {});
    QCOMPARE(Nomi(&w), (QStringList{"ALFA", "BETA", "DELTA", "GAMMA"}));

    Trova(&w, "CHIAVE"); // a new key from the top
    QCOMPARE(Selezionata(&w), 0);
    Trova(&w, "chiave"); // the same key moves on
    QCOMPARE(Selezionata(&w), 3);
    Trova(&w, "chiave"); // and wraps past the end
    QCOMPARE(Selezionata(&w), 0);
    Trova(&w, "zzz"); // no match keeps the selection
    QCOMPARE(Selezionata(&w), 0);
    Trova(&w, "delta");
    QCOMPARE(Selezionata(&w), 2);
    Trova(&w, "delta"); // the only match: stays
    QCOMPARE(Selezionata(&w), 2);
    Controllo<QListView>(&w, "lstRecords")
        ->setCurrentIndex(Controllo<QListView>(&w, "lstRecords")->model()->index(3, 0));
    Trova(&w, "chiave"); // a new key starts from the top, not the selection
    QCOMPARE(Selezionata(&w), 0);
    Trova(&w, ""); // an empty key never matches
    QCOMPARE(Selezionata(&w), 0);
    QVERIFY(env->messaggi.isEmpty());
}

void TestListe::trovaSuListaVuota()
{
    Ambiente env;
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), {Socio("ROSSI")});
    TfrmTrovaAnagrafica w;
    w.show();
    Cerca(&w, {"txtTesserato", "bianchi"});
    QVERIFY(Righe(&w).isEmpty());
    QCOMPARE(Controllo<QLabel>(&w, "lblTrovate")->text(),
             QStringLiteral("Il presente riepilogo contiene 0 schede."));
    Trova(&w, "rossi");
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->messaggi.at(0).forma, Piattaforma::Forma::Messaggio);
    QCOMPARE(env->messaggi.at(0).testo,
             QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce."));
}

// ---------------------------------------------------------------- delivery

void TestListe::consegnaRigaUguale_data()
{
    QTest::addColumn<int>("riga");
    QTest::addColumn<QString>("carica");
    QTest::addColumn<QString>("posizione");
    QTest::addColumn<bool>("fotoPropria");
    QTest::newRow("first of two equal lines") << 0 << "Primo"
                                              << "1" << true;
    QTest::newRow("second of two equal lines") << 1 << "Terzo"
                                               << "3" << false;
}

void TestListe::consegnaRigaUguale()
{
    // Two records give the same line (the role is not in it), and a cancelled one after
    // them too: each line delivers its own record, the cancelled one never.
    QFETCH(int, riga);
    QFETCH(QString, carica);
    QFETCH(QString, posizione);
    QFETCH(bool, fotoPropria);
    Ambiente env;
    Costruttore::ScriviArchivio(
        env.Percorso("Tesserati.pro"),
        {Socio("ROSSI MARIO", {{"Carica", "Primo"}}), Socio("BIANCHI"),
         Socio("ROSSI MARIO", {{"Carica", "Terzo"}}),
         Socio("ROSSI MARIO", {{"Carica", "Annullato"}, {"Annullata", "S\xEC"}})});
    QVERIFY(Immagine(8, 8, Qt::red).save(env.Percorso("1.jpg")));
    QVERIFY(Immagine(8, 8, Qt::red).save(env.Percorso("4.jpg")));

    Apritore apritore;
    const int esito = ApriRicerca(&apritore, "tessera", env, [&](QDialog *d) {
        Cerca(d, {"txtTesserato", "rossi"});
        QCOMPARE(Righe(d).size(), 2);
        QCOMPARE(Righe(d).at(0), Righe(d).at(1));
        DoppioClic(d, riga);
    });
    QCOMPARE(esito, int(QDialog::Accepted));
    QCOMPARE(apritore.Testo("txtCarica"), carica);
    QCOMPARE(apritore.Testo("txtTesserato"), QStringLiteral("ROSSI MARIO"));
    QCOMPARE(apritore.Testo("lblPosizione"), posizione);
    QCOMPARE(qRed(apritore.Foto("")) > 200, fotoPropria);
    QCOMPARE(qGreen(apritore.Foto("")) > 200, !fotoPropria); // the blank picture
}

void TestListe::consegnaPerModo_data()
{
    QTest::addColumn<QString>("modo");
    QTest::addColumn<QString>("coda"); // suffix of the receiving controls; "-" for none
    QTest::newRow("tessera") << "tessera"
                             << "";
    QTest::newRow("slot A") << "tessere_01"
                            << "_A";
    QTest::newRow("slot E") << "tessere_05"
                            << "_E";
    QTest::newRow("slot I") << "tessere_09"
                            << "_I";
    QTest::newRow("trimmed mode word") << "  tessere_05 "
                                       << "_E";
    QTest::newRow("letter case counts") << "Tessera"
                                        << "-";
    QTest::newRow("no tenth slot") << "tessere_10"
                                   << "-";
    QTest::newRow("empty") << ""
                           << "-";
}

void TestListe::consegnaPerModo()
{
    QFETCH(QString, modo);
    QFETCH(QString, coda);
    Ambiente env;
    Costruttore::ScriviArchivio(
        env.Percorso("Tesserati.pro"),
        {Socio("ROSSI"), Socio("BIANCHI ANNA", {{"Carica", "Segretaria"},
                                                {"NumTessera", "T000002"},
                                                {"DataRil", "01/02/2025"},
                                                {"DataScade", "31/01/2026"}})});
    QVERIFY(Immagine(8, 8, Qt::blue).save(env.Percorso("2.jpg")));
    Apritore apritore;
    const int esito = ApriRicerca(&apritore, modo, env, [&](QDialog *d) {
        Cerca(d, {"txtTesserato", "bianchi"});
        DoppioClic(d, 0);
    });
    QCOMPARE(esito, int(QDialog::Accepted));
    QVERIFY(env->messaggi.isEmpty());

    const QStringList tutte = {"", "_A", "_B", "_C", "_D", "_E", "_F", "_G", "_H", "_I"};
    for (const QString &c : tutte) {
        const bool riceve = c == coda;
        QCOMPARE(apritore.Testo("txtTesserato" + c),
                 riceve ? QStringLiteral("BIANCHI ANNA") : QString());
        QCOMPARE(apritore.Testo("txtCarica" + c),
                 riceve ? QStringLiteral("Segretaria") : QString());
        QCOMPARE(apritore.Testo("txtNumTessera" + c),
                 riceve ? QStringLiteral("T000002") : QString());
        QCOMPARE(apritore.Testo("txtDataRil" + c),
                 riceve ? QStringLiteral("01/02/2025") : QString());
        QCOMPARE(apritore.Testo("txtDataScade" + c),
                 riceve ? QStringLiteral("31/01/2026") : QString());
        auto *foto = apritore.findChild<TImmagine *>("imgFoto" + c);
        QCOMPARE(!foto->Picture().isNull() && qBlue(foto->Picture().pixel(0, 0)) > 200, riceve);
    }
    QCOMPARE(apritore.Testo("lblPosizione"), coda == "-" ? QString() : QStringLiteral("2"));
}

void TestListe::consegnaAllArchivio_data()
{
    QTest::addColumn<bool>("daRinnovo");
    QTest::newRow("from the search") << false;
    QTest::newRow("from the renewal list") << true;
}

void TestListe::consegnaAllArchivio()
{
    // The archive screen opens the screen itself; the second of two equal lines goes there
    // with its own position, fields and photo.
    QFETCH(bool, daRinnovo);
    Ambiente env;
    env->oggi = QDate(2026, 6, 1);
    const Campi comuni = {{"DataScade", "31/12/2025"}, {"Preavviso", "0"}};
    Campi primo = comuni, terzo = comuni;
    primo.insert("Carica", "Primo");
    terzo.insert("Carica", "Terzo");
    terzo.insert("File01", "doc.pdf");
    Costruttore::ScriviArchivio(
        env.Percorso("Tesserati.pro"),
        {Socio("ROSSI MARIO", primo),
         Socio("BIANCHI", {{"DataScade", "31/12/2030"}, {"Preavviso", "0"}}),
         Socio("ROSSI MARIO", terzo)});
    QVERIFY(Immagine(8, 8, Qt::blue).save(env.Percorso("3.jpg")));

    TfrmAnagrafica anagrafica;
    anagrafica.show();
    env->modale = [&](QDialog *d) {
        if (!daRinnovo)
            Cerca(d, {"txtTesserato", "rossi"});
        QCOMPARE(Nomi(d), (QStringList{"ROSSI MARIO", "ROSSI MARIO"}));
        DoppioClic(d, 1);
        QVERIFY(!d->isVisible());
    };
    Controllo<QAbstractButton>(&anagrafica, daRinnovo ? "cmdScadute" : "cmdTrova")->click();
    QCOMPARE(env->modaliMostrati.size(), 1);
    QCOMPARE(Controllo<QLineEdit>(&anagrafica, "txtCarica")->text(), QStringLiteral("Terzo"));
    QCOMPARE(Controllo<QLabel>(&anagrafica, "lblPosizione")->text(), QStringLiteral("3"));
    QCOMPARE(Controllo<QLabel>(&anagrafica, "lblFile01")->text(), QStringLiteral("doc.pdf"));
    QVERIFY(!Controllo<QCheckBox>(&anagrafica, "chkAnnullata")->isChecked());
    QVERIFY(qBlue(Controllo<TImmagine>(&anagrafica, "imgFoto")->Picture().pixel(0, 0)) > 200);
    QVERIFY(env->messaggi.isEmpty());
}

void TestListe::consegnaSchedaSparita()
{
    // The archive shrank behind the list: the screen closes without a message and the
    // archive screen keeps what it showed.
    Ambiente env;
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), {Socio("ROSSI"), Socio("VERDI")});
    TfrmAnagrafica anagrafica;
    anagrafica.show();
    env->modale = [&](QDialog *d) {
        Cerca(d, {"txtTesserato", "verdi"});
        Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), {Socio("ROSSI")});
        DoppioClic(d, 0);
        QVERIFY(!d->isVisible());
    };
    Controllo<QAbstractButton>(&anagrafica, "cmdTrova")->click();
    QCOMPARE(env->modaliMostrati, QStringList{"TfrmTrovaAnagrafica"});
    QCOMPARE(Controllo<QLabel>(&anagrafica, "lblPosizione")->text(), QString());
    QCOMPARE(Controllo<QLineEdit>(&anagrafica, "txtTesserato")->text(), QString());
    QVERIFY(env->messaggi.isEmpty());
}

void TestListe::doppioClicSottoLeRighe_data()
{
    consegnaAllArchivio_data();
}

// A double click on the empty area below the lines delivers nothing and leaves the
// screen open, whatever line is selected.
void TestListe::doppioClicSottoLeRighe()
{
    QFETCH(bool, daRinnovo);
    Ambiente env;
    env->oggi = QDate(2026, 6, 1);
    const Campi scaduta = {{"DataScade", "31/12/2025"}, {"Preavviso", "0"}};
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"),
                                {Socio("ROSSI", scaduta), Socio("VERDI", scaduta)});
    TfrmAnagrafica anagrafica;
    anagrafica.show();
    bool aperta = false;
    env->modale = [&](QDialog *d) {
        if (!daRinnovo)
            Cerca(d, {"txtTesserato", ""});
        QCOMPARE(Righe(d).size(), 2);
        auto *lst = Controllo<QListView>(d, "lstRecords");
        const QRect ultima = lst->visualRect(lst->model()->index(1, 0));
        const QPoint sotto(ultima.left() + 20, ultima.bottom() + 3 * ultima.height());
        QVERIFY(lst->viewport()->rect().contains(sotto));
        QVERIFY(!lst->indexAt(sotto).isValid());
        QTest::mouseClick(lst->viewport(), Qt::LeftButton, {}, ultima.center());
        // Through the window, as the desktop delivers a double click.
        QVERIFY(QTest::qWaitForWindowExposed(d));
        const QPoint punto = lst->viewport()->mapTo(d->window(), sotto);
        QTest::mouseDClick(d->windowHandle(), Qt::LeftButton, {}, punto);
        aperta = d->isVisible();
    };
    Controllo<QAbstractButton>(&anagrafica, daRinnovo ? "cmdScadute" : "cmdTrova")->click();
    QCOMPARE(env->modaliMostrati.size(), 1);
    QVERIFY(aperta);
    QCOMPARE(Controllo<QLabel>(&anagrafica, "lblPosizione")->text(), QString());
    QCOMPARE(Controllo<QLineEdit>(&anagrafica, "txtTesserato")->text(), QString());
    QVERIFY(env->messaggi.isEmpty());
}

void TestListe::consegnaAllaTessera()
{
    Ambiente env;
    Costruttore::ScriviArchivio(
        env.Percorso("Tesserati.pro"),
        {Socio("ROSSI"), Socio("BIANCHI ANNA", {{"Carica", "Segretaria"},
                                                {"NumTessera", "T2"},
                                                {"DataRil", "01/02/2025"},
                                                {"DataScade", "31/01/2026"}})});
    QVERIFY(Immagine(8, 8, Qt::blue).save(env.Percorso("2.jpg")));
    TfrmTessera tessera;
    tessera.show();
    env->modale = [&](QDialog *d) {
        QCOMPARE(Controllo<QLabel>(d, "lblMemory")->text(), QStringLiteral("tessera"));
        Cerca(d, {"txtTesserato", "bianchi"});
        DoppioClic(d, 0);
    };
    Controllo<QAbstractButton>(&tessera, "cmdTrova")->click();
    QCOMPARE(Controllo<QLabel>(&tessera, "txtTesserato")->text(), QStringLiteral("BIANCHI ANNA"));
    QCOMPARE(Controllo<QLabel>(&tessera, "txtCarica")->text(), QStringLiteral("Segretaria"));
    QCOMPARE(Controllo<QLabel>(&tessera, "txtNumTessera")->text(), QStringLiteral("T2"));
    QCOMPARE(Controllo<QLabel>(&tessera, "txtDataRil")->text(), QStringLiteral("01/02/2025"));
    QCOMPARE(Controllo<QLabel>(&tessera, "txtDataScade")->text(), QStringLiteral("31/01/2026"));
    QCOMPARE(Controllo<QLabel>(&tessera, "lblPosizione")->text(), QStringLiteral("2"));
    QVERIFY(qBlue(Controllo<TImmagine>(&tessera, "imgFoto")->Picture().pixel(0, 0)) > 200);
}

// ---------------------------------------------------------------- renewal list

void TestListe::rinnovo_data()
{
    QTest::addColumn<QDate>("oggi");
    QTest::addColumn<QStringList>("attesi");
    QTest::newRow("day before the notice") << QDate(2025, 11, 30) << QStringList{"ZETA"};
    QTest::newRow("first day of the notice") << QDate(2025, 12, 1) << QStringList{"ALFA", "ZETA"};
    QTest::newRow("notice 0, day before") << QDate(2025, 12, 9) << QStringList{"ALFA", "ZETA"};
    QTest::newRow("notice 0, on the day")
        << QDate(2025, 12, 10) << QStringList{"ALFA", "BETA", "ZETA"};
    QTest::newRow("expired, next year")
        << QDate(2026, 1, 15) << QStringList{"ALFA", "BETA", "ZETA"};
}

void TestListe::rinnovo()
{
    QFETCH(QDate, oggi);
    QFETCH(QStringList, attesi);
    Ambiente env;
    env->oggi = oggi;
    const auto scheda = [](const QByteArray &nome, const QByteArray &scade,
                           const QByteArray &giorni, const QByteArray &annullata = "No") {
        return Socio(nome, {{"DataScade", scade}, {"Preavviso", giorni}, {"Annullata", annullata}});
    };
    // Malformed records in the middle are skipped; the scan goes on past them.
    Costruttore::ScriviArchivio(
        env.Percorso("Tesserati.pro"),
        {scheda("ALFA", "31/12/2025", "30"), scheda("BETA", "10/12/2025", "0"),
         scheda("GAMMA", "01/01/2020", "0", "S\xEC"), scheda("DELTA", "31/02/2025", "5"),
         scheda("EPSILON", "01/12/2025", "x"), scheda("ETA", "", "0"),
         scheda("ZETA", "05/12/2025", "10")});
    TfrmSospesi w;
    w.show();
    QCOMPARE(Nomi(&w), attesi);
    QVERIFY(env->messaggi.isEmpty());
    // The list opens with no line selected.
    auto *lst = Controllo<QListView>(&w, "lstRecords");
    QVERIFY(lst->selectionModel()->selectedIndexes().isEmpty());
    QCOMPARE(Selezionata(&w), -1);
}

void TestListe::rinnovoArchivioVuoto()
{
    Ambiente env;
    TfrmSospesi w;
    w.show();
    QVERIFY(Righe(&w).isEmpty());
    QVERIFY(QFile::exists(env.Percorso("Tesserati.pro")));
    QVERIFY(env->messaggi.isEmpty());
    Trova(&w, "x");
    QCOMPARE(env->UltimoMessaggio(),
             QStringLiteral("Ricerca non applicabile: la lista non contiene nessuna voce."));
}

// ---------------------------------------------------------------- printed lists

void TestListe::stampaLungaSuPiuPagine()
{
    Ambiente env;
    QList<QByteArray> schede;
    for (int i = 1; i <= 200; ++i)
        schede << Socio(QByteArray("SOCIO ") + QByteArray::number(i).rightJustified(3, '0'),
                        {{"Note", i == 7 ? "[DATE]" : ""}});
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), schede);
    env->stampaSuPdf = env.Percorso("lista.pdf");

    TfrmTrovaAnagrafica w;
    w.show();
    Cerca(&w, {});
    const QStringList righe = Righe(&w);
    QCOMPARE(righe.size(), 200);
    Controllo<QPushButton>(&w, "btnStampa")->click();
    QCOMPARE(env->dialoghiStampa, 1);
    QVERIFY(QFile(env->stampaSuPdf).size() > 0);
    QCOMPARE(Righe(&w), righe); // printing leaves the list as it was

    const TReport &rep = w.findChild<TRiepilogo *>("repRiepilogo")->Report();
    QVERIFY(qFuzzyCompare(rep.Memo("txtRiepilogo").Height, 200 * 12.822));
    QVERIFY(qFuzzyCompare(rep.Band("MasterData").Height, 200 * 12.822 + 10));
    QVERIFY(rep.PreparedCount() > 1);
    QStringList stampate;
    int piedi = 0;
    for (int p = 0; p < rep.PreparedCount(); ++p) {
        const TPaginaPreparata &pagina = rep.PreparedPages()[static_cast<size_t>(p)];
        QCOMPARE(pagina.Orientamento, poLandscape);
        double fondoDati = 0;
        for (const TElementoPreparato &e : pagina.elementi) {
            const QString nome = e.oggetto->Name;
            if (nome == "txtRiepilogo") {
                stampate << e.righe;
                fondoDati = std::max(fondoDati, e.ritaglio.bottom());
            } else if (nome == "txtTitolo") {
                QCOMPARE(p, 0);
                QCOMPARE(e.righe, QStringList{"Riepilogo anagrafica tesserati"});
            } else if (nome == "txtPagina") {
                ++piedi;
                QCOMPARE(p, rep.PreparedCount() - 1);
                QVERIFY(e.rettangolo.top() >= fondoDati);
                QCOMPARE(e.righe, QStringList{"Stampa eseguita in data 15/06/2025"});
            }
        }
    }
    QCOMPARE(piedi, 1);
    // Every line, in list order and as it stands: "[DATE]" in a note is not a date.
    QCOMPARE(stampate, righe);
    QVERIFY(stampate.at(6).endsWith("  [DATE]"));
}

void TestListe::stampaListaVuotaERinnovo()
{
    Ambiente env;
    env->stampaSuPdf = env.Percorso("rinnovo.pdf");
    TfrmSospesi w;
    w.show();
    Controllo<QPushButton>(&w, "btnStampa")->click();
    QVERIFY(QFile(env->stampaSuPdf).size() > 0);
    const TReport &rep = w.findChild<TRiepilogo *>("repRiepilogo")->Report();
    QCOMPARE(rep.PreparedCount(), 1);
    QCOMPARE(rep.Memo("txtTitolo").Memo, QStringList{"Riepilogo tessere in attesa di rinnovo"});
    QCOMPARE(rep.Band("MasterData").Height, 10.0);

    // Cancelling the print dialog prints nothing.
    env->annullaStampa = true;
    QFile::remove(env->stampaSuPdf);
    Controllo<QPushButton>(&w, "btnStampa")->click();
    QVERIFY(!QFile::exists(env->stampaSuPdf));
    QVERIFY(env->messaggi.isEmpty());
}

void TestListe::stampanteGuasta_data()
{
    QTest::addColumn<bool>("rinnovo");
    QTest::newRow("ricerca") << false;
    QTest::newRow("rinnovo") << true;
}

void TestListe::stampanteGuasta()
{
    QFETCH(bool, rinnovo);
    Ambiente env;
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), {Socio("ROSSI MARIO")});
    // A folder where the printer's output should go: the printer fails after the dialog.
    env->stampaSuPdf = env.Percorso("lista.pdf");
    QVERIFY(QDir(env.cartella()).mkdir("lista.pdf"));
    std::unique_ptr<QWidget> w;
    if (rinnovo)
        w = std::make_unique<TfrmSospesi>();
    else
        w = std::make_unique<TfrmTrovaAnagrafica>();
    w->show();
    Controllo<QPushButton>(w.get(), "btnStampa")->click();
    QCOMPARE(env->dialoghiStampa, 1);
    QCOMPARE(env->messaggi.size(), 1);
    QCOMPARE(env->UltimaForma(), Piattaforma::Forma::Errore);
    QCOMPARE(env->UltimoMessaggio(), QString("Printing of \"Riepilogo dati\" failed"));
    QVERIFY(w->isVisible());
}

QTEST_MAIN(TestListe)
#include "tst_liste.moc"
