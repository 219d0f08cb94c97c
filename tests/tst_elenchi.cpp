// The order and the find of long record lists, driven through the search and renewal
// screens, against an order and a find written here from their rules.
#include "lists/Sospesi.h"
#include "lists/TrovaAnagrafica.h"
#include "lists/core/ModelloElenco.h"
#include "mail/core/RegistroAvvisi.h"
#include "support/Supporto.h"

#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRandomGenerator>
#include <QtTest>

#include <algorithm>
#include <memory>
#include <numeric>

namespace {

struct Riga {
    QString testo;
    int posizione;
};

QList<Riga> Mostrate(QWidget *schermata)
{
    const QAbstractItemModel *m = Controllo<QListView>(schermata, "lstRecords")->model();
    QList<Riga> r;
    for (int i = 0; i < m->rowCount(); ++i)
        r.append({m->index(i, 0).data().toString(),
                  m->index(i, 0).data(TModelloElenco::RuoloPosizione).toInt()});
    return r;
}

// The field as the read rule gives it: Windows-1252, trimmed of codes up to 32.
QString Letto(const QByteArray &b)
{
    static const char16_t alti[32] = {
        0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
    QString s;
    for (const char c : b) {
        const auto u = static_cast<unsigned char>(c);
        s.append(QChar(u >= 0x80 && u < 0xA0 ? alti[u - 0x80] : char16_t(u)));
    }
    qsizetype a = 0, z = s.size();
    while (a < z && s[a].unicode() <= 32)
        ++a;
    while (z > a && s[z - 1].unicode() <= 32)
        --z;
    return s.mid(a, z - a);
}

QString Colonna(const QByteArray &b, int larghezza)
{
    return Letto(b).left(larghezza).leftJustified(larghezza, u' ');
}

// Character codes with a-z as A-Z, a line that begins another first.
bool PrimaDi(const QString &a, const QString &b)
{
    const auto piega = [](QChar c) {
        const char16_t u = c.unicode();
        return u >= u'a' && u <= u'z' ? char16_t(u - 32) : u;
    };
    for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
        if (piega(a[i]) != piega(b[i]))
            return piega(a[i]) < piega(b[i]);
    return a.size() < b.size();
}

// Records whose lines share long starts, differ past the padding and the eight-character
// steps, repeat whole, and use bytes whose characters lie above 0xFF (0x80-0x9F) beside
// bytes up to 0xFF, so an order of bytes would differ from the order of characters.
QList<QByteArray> Soci(int quanti, QList<QMap<QByteArray, QByteArray>> &campi)
{
    QRandomGenerator g(20261211);
    const QList<QByteArray> inizi = {"",
                                     "ROSSI MARIO",
                                     "rossi mario",
                                     "ROSSI MARIO ANTONIO GIUSEPPE",
                                     "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234",
                                     "ROSSI_"};
    const QByteArray lettere("aAzZ _\x80\x9f\xff\xe9\xc9\x8a\x01~0", 15);
    const QList<QByteArray> tessere = {"", "T1", "T10", "t1", "T1\x80", "T1\xff"};
    const QList<QByteArray> note = {"", "a", "ab", "AB", "a\x80", "a\xff", "abc"};
    QList<QByteArray> record;
    for (int i = 0; i < quanti; ++i) {
        QMap<QByteArray, QByteArray> c;
        if (i > 0 && g.bounded(8) == 0) {
            c = campi.at(g.bounded(i)); // a line shown twice
        } else {
            QByteArray nome = inizi.at(g.bounded(inizi.size()));
            for (int k = g.bounded(4); k > 0; --k)
                nome.append(lettere.at(g.bounded(lettere.size())));
            c = {{"Tesserato", nome},
                 {"NumTessera", tessere.at(g.bounded(tessere.size()))},
                 {"DataScade", "01/01/2020"},
                 {"Preavviso", "0"},
                 {"Recapito", g.bounded(2) ? "333" : ""},
                 {"Note", note.at(g.bounded(note.size()))},
                 {"Annullata", g.bounded(10) ? "No" : "S\xEC"}};
        }
        campi.append(c);
        record.append(Costruttore::Record(c));
    }
    return record;
}

// The lines the rules give, in their order.
QList<Riga> Attese(const QList<QMap<QByteArray, QByteArray>> &campi)
{
    QList<Riga> r;
    for (int i = 0; i < campi.size(); ++i) {
        const auto &c = campi.at(i);
        if (c.value("Annullata") != "No")
            continue;
        r.append({Colonna(c.value("Tesserato"), 30) + "  Tessera n. " +
                      Colonna(c.value("NumTessera"), 20) + "  Scad. " +
                      Colonna(c.value("DataScade"), 10) + "  Tel. " +
                      Colonna(c.value("Recapito"), 12) + "  " + Letto(c.value("Note")),
                  i + 1});
    }
    std::stable_sort(r.begin(), r.end(),
                     [](const Riga &a, const Riga &b) { return PrimaDi(a.testo, b.testo); });
    return r;
}

void Trova(QWidget *schermata, const QString &chiave)
{
    auto *txt = Controllo<QLineEdit>(schermata, "txtTrova");
    txt->setText(chiave);
    Controllo<QPushButton>(schermata, "btnTrova")->click();
}

int Selezionata(QWidget *schermata)
{
    const QModelIndex i = Controllo<QListView>(schermata, "lstRecords")->currentIndex();
    return i.isValid() ? i.row() : -1;
}

} // namespace

class TestElenchi : public QObject {
    Q_OBJECT
private slots:
    void ordine_data();
    void ordine();
    void trova_data();
    void trova();
    void trovaNellaColonnaDegliAvvisi();
};

void TestElenchi::ordine_data()
{
    QTest::addColumn<bool>("rinnovo");
    QTest::addColumn<int>("quanti");
    QTest::newRow("search, few") << false << 12;
    QTest::newRow("search, many") << false << 3000;
    QTest::newRow("renewal, many") << true << 3000;
}

void TestElenchi::ordine()
{
    QFETCH(bool, rinnovo);
    QFETCH(int, quanti);
    Ambiente env;
    env->oggi = QDate(2025, 6, 1);
    QList<QMap<QByteArray, QByteArray>> campi;
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"), Soci(quanti, campi));
    const QList<Riga> attese = Attese(campi);
    std::unique_ptr<QWidget> w;
    if (rinnovo) {
        w = std::make_unique<TfrmSospesi>();
        w->show();
    } else {
        w = std::make_unique<TfrmTrovaAnagrafica>();
        w->show();
        Controllo<QPushButton>(w.get(), "btnCerca")->click();
    }
    const QList<Riga> mostrate = Mostrate(w.get());
    QCOMPARE(mostrate.size(), attese.size());
    for (qsizetype i = 0; i < attese.size(); ++i) {
        QCOMPARE(mostrate.at(i).testo, attese.at(i).testo);
        QCOMPARE(mostrate.at(i).posizione, attese.at(i).posizione);
    }
    // The find over the same lines: a new key from the top, the same key on from the
    // selected line (the long lists hold every key).
    if (attese.size() < 1000)
        return;
    const auto tiene = [&](qsizetype i, const QString &chiave) {
        QString riga = attese.at(i).testo;
        for (QChar &c : riga)
            if (c >= u'A' && c <= u'Z')
                c = QChar(c.unicode() + 32);
        return riga.contains(chiave);
    };
    for (const QString &chiave : {QStringLiteral("mario antonio"), QStringLiteral("\u20ac"),
                                  QStringLiteral("t1   "), QStringLiteral("a\u00ff")}) {
        qsizetype attesa = 0;
        while (attesa < attese.size() && !tiene(attesa, chiave))
            ++attesa;
        QVERIFY2(attesa < attese.size(), qPrintable(chiave));
        Trova(w.get(), chiave);
        QCOMPARE(Selezionata(w.get()), attesa);
        do
            attesa = (attesa + 1) % attese.size();
        while (!tiene(attesa, chiave));
        Trova(w.get(), chiave);
        QCOMPARE(Selezionata(w.get()), attesa);
    }
}

void TestElenchi::trova_data()
{
    QTest::addColumn<QString>("chiave");
    QTest::addColumn<int>("attesa");
    // Lines: 0 ALFA (note "prezzo 10€"), 1 BETA (tessera T9), 2 GAMMA (note "ÿ"), 3 Ÿ.
    QTest::newRow("a character above 0xFF in its byte") << QStringLiteral("10€") << 0;
    QTest::newRow("across a label") << QStringLiteral("tessera n. t9") << 1;
    QTest::newRow("byte 0xFF, not 0x9F") << QStringLiteral("\u00FF") << 2;
    QTest::newRow("0x9F is Ÿ") << QStringLiteral("\u0178") << 3;
    QTest::newRow("padding before a label") << QStringLiteral("t9      ") << 1;
    QTest::newRow("a character no byte stands for") << QStringLiteral("\u0101") << -1;
    QTest::newRow("lowered A-Z only") << QStringLiteral("É") << -1;
}

void TestElenchi::trova()
{
    QFETCH(QString, chiave);
    QFETCH(int, attesa);
    Ambiente env;
    const auto socio = [](const QByteArray &nome, const QByteArray &campo, const QByteArray &v) {
        return Costruttore::Record({{"Tesserato", nome}, {campo, v}, {"Annullata", "No"}});
    };
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"),
                                {socio("\x9F", "Note", "x"), socio("GAMMA", "Note", "\xFF"),
                                 socio("BETA", "NumTessera", "T9"),
                                 socio("ALFA", "Note", "prezzo 10\x80")});
    TfrmTrovaAnagrafica w;
    w.show();
    Controllo<QPushButton>(&w, "btnCerca")->click();
    QCOMPARE(Mostrate(&w).size(), 4);
    QCOMPARE(Mostrate(&w).at(3).testo.left(1), QStringLiteral("\u0178"));
    Controllo<QListView>(&w, "lstRecords")
        ->setCurrentIndex(Controllo<QListView>(&w, "lstRecords")->model()->index(1, 0));
    Trova(&w, chiave);
    // A match selects its line; none keeps the selection.
    QCOMPARE(Selezionata(&w), attesa < 0 ? 1 : attesa);
    QVERIFY(env->messaggi.isEmpty());
}

void TestElenchi::trovaNellaColonnaDegliAvvisi()
{
    Ambiente env;
    env->oggi = QDate(2025, 6, 20);
    const auto socio = [](const QByteArray &nome) {
        return Costruttore::Record({{"Tesserato", nome},
                                    {"DataScade", "30/06/2025"},
                                    {"Preavviso", "30"},
                                    {"Annullata", "No"}});
    };
    Costruttore::ScriviArchivio(env.Percorso("Tesserati.pro"),
                                {socio("ALFA"), socio("BETA"), socio("GAMMA")});
    {
        RegistroAvvisi::TRegistro registro(env.cartella());
        QVERIFY(registro.Scrivi({QDate(2025, 6, 15), QTime(9, 0), 2, QStringLiteral("BETA"),
                                 QStringLiteral("beta@esempio.it"), QDate(2025, 6, 30),
                                 RegistroAvvisi::Inviato}));
    }
    TfrmSospesi w;
    w.show();
    const QList<Riga> righe = Mostrate(&w);
    QCOMPARE(righe.size(), 3);
    QVERIFY(righe.at(1).testo.contains("Scad. 30/06/2025  Avvisato 15/06/2025  Tel. "));
    QVERIFY(righe.at(2).testo.contains("Scad. 30/06/2025" + QString(21, u' ') + "  Tel. "));
    // The column is part of the line the find reads, before and after it.
    Trova(&w, QStringLiteral("avvisato 15/06"));
    QCOMPARE(Selezionata(&w), 1);
    Trova(&w, QStringLiteral("2025                       tel."));
    QCOMPARE(Selezionata(&w), 0);
}

QTEST_MAIN(TestElenchi)
#include "tst_elenchi.moc"
