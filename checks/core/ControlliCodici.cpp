#include "checks/core/ControlliCodici.h"

#include "archive/Testo.h"

#include <array>

namespace {

// Odd-position values of "0".."9" and "A".."Z"; the seven characters between
// "9" and "A" count 0.
constexpr std::array<int, 43> ValoriDispari = {
    1,  0,  5, 7, 9, 13, 15, 17, 19, 21,             // 0..9
    0,  0,  0, 0, 0, 0,  0,                          // : ; < = > ? @
    1,  0,  5, 7, 9, 13, 15, 17, 19, 21, 2,  4,  18, // A..M
    20, 11, 3, 6, 8, 12, 14, 16, 10, 22, 25, 24, 23  // N..Z
};

// Even-position values: a digit its own value, a letter its place from A = 0.
constexpr std::array<int, 43> ValoriPari = {
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,              // 0..9
    0,  0,  0,  0,  0,  0,  0,                          // : ; < = > ? @
    0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12, // A..M
    13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25  // N..Z
};

int Valore(const std::array<int, 43> &tabella, QChar c)
{
    const char16_t u = c.unicode();
    if (u < u'0' || u > u'Z')
        return 0; // no entry in the tables: a blank, a hyphen, an accented letter
    return tabella[u - u'0'];
}

bool Cifra(QChar c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

bool ControllaCodFisc(const QString &codice)
{
    if (codice.size() != 16)
        return false;
    int somma = 0;
    for (int i = 0; i < 15; ++i) // i = 0 is position 1, an odd position
        somma += Valore(i % 2 == 0 ? ValoriDispari : ValoriPari, codice.at(i));
    return codice.at(15) == QChar(u'A' + somma % 26);
}

bool ControllaPartitaIva(const QString &numero)
{
    if (numero.size() != 11)
        return false;
    for (QChar c : numero)
        if (!Cifra(c))
            return false;
    int somma = 0;
    for (int i = 0; i < 10; ++i) {
        const int cifra = numero.at(i).unicode() - u'0';
        if (i % 2 == 0) {
            somma += cifra;
        } else {
            const int doppio = 2 * cifra;
            somma += doppio / 10 + doppio % 10;
        }
    }
    const int controllo = somma % 10 == 0 ? 0 : 10 - somma % 10;
    return numero.at(10).unicode() - u'0' == controllo;
}

const QMap<QString, QString> &UfficiIva()
{
    static const QMap<QString, QString> uffici = {
        {"001", "Torino"},
        {"002", "Vercelli"},
        {"003", "Novara"},
        {"004", "Cuneo"},
        {"005", "Asti"},
        {"006", "Alessandria"},
        {"007", "Aosta"},
        {"008", "Imperia"},
        {"009", "Savona"},
        {"010", "Genova 1"},
        {"011", "La Spezia"},
        {"012", "Varese"},
        {"013", "Como"},
        {"014", "Sondrio"},
        {"015", "Milano 1"},
        {"016", "Bergamo"},
        {"017", "Brescia 1"},
        {"018", "Pavia"},
        {"019", "Cremona"},
        {"020", "Mantova"},
        {"021", "Bolzano"},
        {"022", "Trento"},
        {"023", "Verona"},
        {"024", "Vicenza"},
        {"025", "Belluno"},
        {"026", "Treviso"},
        {"027", "Venezia"},
        {"028", "Padova"},
        {"029", "Rovigo"},
        {"030", "Udine"},
        {"031", "Gorizia"},
        {"032", "Trieste"},
        {"033", "Piacenza"},
        {"034", "Parma"},
        {"035", "Reggio Emilia"},
        {"036", "Modena"},
        {"037", "Bologna 1"},
        {"038", "Ferrara"},
        {"039", "Ravenna"},
        {"040", QStringLiteral("Forl\u00EC")},
        {"041", "Pesaro"},
        {"042", "Ancona"},
        {"043", "Macerata"},
        {"044", "Ascoli Piceno"},
        {"045", "Massa Carrara"},
        {"046", "Lucca"},
        {"047", "Pistoia"},
        {"048", "Firenze 1"},
        {"049", "Livorno"},
        {"050", "Pisa"},
        {"051", "Arezzo"},
        {"052", "Siena"},
        {"053", "Grosseto"},
        {"054", "Perugia"},
        {"055", "Terni"},
        {"056", "Viterbo"},
        {"057", "Rieti"},
        {"058", "Roma 1"},
        {"059", "Latina"},
        {"060", "Frosinone"},
        {"061", "Caserta"},
        {"062", "Benevento"},
        {"063", "Napoli 1"},
        {"064", "Avellino"},
        {"065", "Salerno"},
        {"066", "Aquila"},
        {"067", "Teramo"},
        {"068", "Pescara"},
        {"069", "Chieti"},
        {"070", "Campobasso"},
        {"071", "Foggia"},
        {"072", "Bari"},
        {"073", "Taranto"},
        {"074", "Brindisi"},
        {"075", "Lecce"},
        {"076", "Potenza"},
        {"077", "Matera"},
        {"078", "Cosenza"},
        {"079", "Catanzaro"},
        {"080", "Reggio Calabria"},
        {"081", "Trapani"},
        {"082", "Palermo"},
        {"083", "Messina"},
        {"084", "Agrigento"},
        {"085", "Caltanissetta"},
        {"086", "Enna"},
        {"087", "Catania"},
        {"088", "Ragusa"},
        {"089", "Siracusa"},
        {"090", "Sassari"},
        {"091", "Nuoro"},
        {"092", "Cagliari"},
        {"093", "Pordenone"},
        {"094", "Isernia"},
        {"095", "Oristano"},
        {"096", "Monza (Milano 2)"},
        {"097", "Prato (Firenze 2)"},
        {"098", "Brescia 2"},
        {"099", "Chiavari (Genova 2)"},
        {"100", "Roma 2"},
        {"101", "Bologna 2"},
        {"102", "Napoli 2"},
        {"120", "Bologna 2"},
        {"121", "Napoli 2"},
    };
    return uffici;
}

QString UfficioIva(const QString &codice)
{
    return UfficiIva().value(codice);
}

namespace {
// The digits among the first 20 characters of a card number.
QByteArray CifreCarta(const QString &numero)
{
    // Single-byte characters, at most 21 kept; only positions 1 to 20 are read.
    const QByteArray testo = Testo::ToWin1252(numero).left(21);
    QByteArray d;
    for (qsizetype i = 0; i < testo.size() && i < 20; ++i)
        if (testo.at(i) >= '0' && testo.at(i) <= '9')
            d.append(testo.at(i));
    return d;
}

// The Luhn check; no digits do not pass.
bool Luhn(const QByteArray &d)
{
    if (d.isEmpty())
        return false;
    int somma = 0;
    bool raddoppia = true; // the digit just left of the check digit is doubled
    for (qsizetype i = d.size() - 2; i >= 0; --i) {
        int v = d.at(i) - '0';
        if (raddoppia) {
            v *= 2;
            if (v >= 10)
                v -= 9;
        }
        somma += v;
        raddoppia = !raddoppia;
    }
    const int atteso = somma % 10 == 0 ? 0 : 10 - somma % 10;
    return d.back() - '0' == atteso;
}
} // namespace

int TipoCarta(const QString &numero)
{
    const QByteArray d = CifreCarta(numero);
    if (!Luhn(d))
        return 0;
    return (d.front() - '0') - 2;
}

bool MasterCardSerie2(const QString &numero)
{
    const QByteArray d = CifreCarta(numero);
    if (d.size() < 4 || !Luhn(d))
        return false;
    const int inizio = d.left(4).toInt();
    return inizio >= 2221 && inizio <= 2720;
}

QString LettereInNumeri(const QString &testo)
{
    QString r;
    r.reserve(testo.size() * 2);
    for (QChar c : testo) {
        if (c >= u'A' && c <= u'Z')
            r += QString::number(c.unicode() - 55);
        else
            r += c;
    }
    return r;
}

int ResiduoIban(const QString &testo)
{
    QString t = Testo::MaiuscoleAZ(testo);
    const qsizetype iban = t.indexOf(QStringLiteral("IBAN"));
    if (iban >= 0)
        t.remove(iban, 4);
    t = LettereInNumeri(t.mid(4) + t.left(4));

    // Piece by piece, so that no number read has more than 9 digits.
    const qsizetype n = t.size();
    QString riporto;
    qsizetype posizione = 0;
    qsizetype pezzo = 9;
    int resto = 0;
    while (posizione < n) {
        if (pezzo > n)
            pezzo = n;
        riporto += t.mid(posizione, pezzo);
        // Plain decimal digits only: a sign, "$" or any other character makes it unreadable.
        qint64 valore = 0;
        for (QChar c : riporto) {
            if (!Cifra(c))
                return 0;
            valore = valore * 10 + (c.unicode() - u'0');
        }
        resto = static_cast<int>(valore % 97);
        posizione += pezzo;
        riporto = QString::number(resto);
        pezzo = 9 - riporto.size();
    }
    return resto;
}

bool ControllaIban(const QString &iban)
{
    QString t = iban;
    t.remove(u' ');
    return ResiduoIban(t) == 1;
}
