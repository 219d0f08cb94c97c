#include "stats/core/Statistiche.h"

#include "archive/Testo.h"
#include "checks/core/ControlliCodici.h"
#include "storage/Deposito.h"

#include <QHash>

#include <algorithm>
#include <set>
#include <unordered_set>

namespace Statistiche {

namespace {

// A field's bytes trimmed of codes up to 32, as the read rule trims its text.
std::pair<const unsigned char *, int> Grezzo(const TScheda &s, Campo c)
{
    int n = 0;
    const unsigned char *d = s.Dati(c, &n);
    while (n > 0 && d[0] <= 32) {
        ++d;
        --n;
    }
    while (n > 0 && d[n - 1] <= 32)
        --n;
    return {d, n};
}

// Testo::ConvertiData on the field's bytes, without making a text: day and month of one
// or two digits, a four-digit year from 1, slashes between, a real calendar date.
QDate Data(const TScheda &s, Campo c)
{
    const auto [d, n] = Grezzo(s, c);
    int parti[3] = {0, 0, 0}, cifre[3] = {0, 0, 0}, p = 0;
    for (int i = 0; i < n; ++i) {
        if (d[i] == '/') {
            if (++p > 2)
                return {};
        } else if (d[i] >= '0' && d[i] <= '9') {
            parti[p] = parti[p] * 10 + (d[i] - '0');
            if (++cifre[p] > 4)
                return {};
        } else {
            return {};
        }
    }
    if (p != 2 || cifre[0] < 1 || cifre[0] > 2 || cifre[1] < 1 || cifre[1] > 2 || cifre[2] != 4 ||
        parti[2] < 1)
        return {};
    return QDate(parti[2], parti[1], parti[0]);
}

bool Uguale(const TScheda &s, Campo c, const char *testo)
{
    const auto [d, n] = Grezzo(s, c);
    return n == int(qstrlen(testo)) && std::equal(d, d + n, testo);
}

} // namespace

bool ConPeriodo(const TFiltroStatistiche &f)
{
    return f.periodo && f.dal.isValid() && f.al.isValid() && f.dal <= f.al;
}

QString NomeFascia(int fascia)
{
    if (fascia <= 0)
        return QStringLiteral("0-%1").arg(InizioFasce[0] - 1);
    if (fascia >= FasceEta - 1)
        return QStringLiteral("%1+").arg(InizioFasce[FasceEta - 2]);
    return QStringLiteral("%1-%2").arg(InizioFasce[fascia - 1]).arg(InizioFasce[fascia] - 1);
}

namespace {

// A digit of the fiscal code, or the letter that stands for it in a code made unique.
int CifraCodFisc(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    static const QString lettere = QStringLiteral("LMNPQRSTUV");
    return int(lettere.indexOf(c));
}

} // namespace

std::optional<TDatiCodFisc> DaCodFisc(const QString &codice, const QDate &oggi)
{
    const QString c = Testo::MaiuscoleAZ(codice.trimmed());
    if (c.size() != 16)
        return std::nullopt;
    for (QChar ch : c)
        if (!((ch >= u'0' && ch <= u'9') || (ch >= u'A' && ch <= u'Z')))
            return std::nullopt;
    if (!ControllaCodFisc(c))
        return std::nullopt;
    const int a1 = CifraCodFisc(c.at(6)), a2 = CifraCodFisc(c.at(7));
    const int g1 = CifraCodFisc(c.at(9)), g2 = CifraCodFisc(c.at(10));
    const int mese = int(QStringLiteral("ABCDEHLMPRST").indexOf(c.at(8))) + 1;
    if (a1 < 0 || a2 < 0 || g1 < 0 || g2 < 0 || mese < 1)
        return std::nullopt;
    int giorno = g1 * 10 + g2;
    const bool femmina = giorno > 40;
    if (femmina)
        giorno -= 40;
    const int anno = a1 * 10 + a2;
    QDate nascita(2000 + anno, mese, giorno);
    if (!nascita.isValid() || nascita > oggi)
        nascita = QDate(1900 + anno, mese, giorno);
    if (!nascita.isValid() || nascita > oggi)
        return std::nullopt;
    return TDatiCodFisc{nascita, femmina};
}

int Eta(const QDate &nascita, const QDate &oggi)
{
    if (!nascita.isValid() || nascita > oggi)
        return -1;
    int eta = oggi.year() - nascita.year();
    if (oggi.month() < nascita.month() ||
        (oggi.month() == nascita.month() && oggi.day() < nascita.day()))
        --eta;
    return eta;
}

int Fascia(int eta)
{
    if (eta < 0)
        return -1;
    int f = 0;
    while (f < FasceEta - 1 && eta >= InizioFasce[size_t(f)])
        ++f;
    return f;
}

QString NomeGruppo(const QString &testo)
{
    QString r;
    r.reserve(testo.size());
    bool blank = false;
    for (QChar c : testo) {
        if (c.unicode() <= 32) {
            blank = true;
            continue;
        }
        if (blank && !r.isEmpty())
            r += u' ';
        blank = false;
        r += c;
    }
    return Testo::MaiuscoleAZ(r);
}

QString ChiaveGruppo(const QString &nome)
{
    QString r = nome;
    r.remove(u' ');
    return r;
}

const std::array<Campo, 8> CampiStatistiche = {Campo::DataScade, Campo::DataNasc,  Campo::Sesso,
                                               Campo::CodFisc,   Campo::ComuneRes, Campo::ProvRes,
                                               Campo::Carica,    Campo::Annullata};

TClassi Classifica(const TScheda &s, const TFiltroStatistiche &f, bool gruppi)
{
    TClassi k;
    k.annullata = !Uguale(s, Campo::Annullata, "No");
    k.scadenza = Data(s, Campo::DataScade);
    k.scadenzaValida = k.scadenza.isValid();
    k.inPeriodo = !ConPeriodo(f) || (k.scadenzaValida && k.scadenza >= f.dal && k.scadenza <= f.al);
    k.contata = k.inPeriodo && (f.annullate || !k.annullata);
    if (!k.contata)
        return k;

    QDate nascita = Data(s, Campo::DataNasc);
    if (nascita.isValid() && nascita > f.oggi)
        nascita = QDate();
    k.nascitaNonValida = Grezzo(s, Campo::DataNasc).second > 0 && !nascita.isValid();
    k.sesso = Uguale(s, Campo::Sesso, "M") || Uguale(s, Campo::Sesso, "m")   ? 0
              : Uguale(s, Campo::Sesso, "F") || Uguale(s, Campo::Sesso, "f") ? 1
                                                                             : -1;
    if (!nascita.isValid() || k.sesso < 0) {
        if (const auto cf = DaCodFisc(s.Leggi(Campo::CodFisc), f.oggi)) {
            if (!nascita.isValid())
                nascita = cf->nascita;
            if (k.sesso < 0)
                k.sesso = cf->femmina ? 1 : 0;
        }
    }
    k.fascia = Fascia(Eta(nascita, f.oggi));
    k.gruppi = gruppi;
    if (gruppi) {
        k.comune = NomeGruppo(s.Leggi(Campo::ComuneRes));
        k.provincia = NomeGruppo(s.Leggi(Campo::ProvRes));
        k.carica = NomeGruppo(s.Leggi(Campo::Carica));
    }
    return k;
}

namespace {

void Conta(std::map<QString, TGruppo> &gruppi, const QString &nome, int quanti = 1)
{
    TGruppo &g = gruppi[ChiaveGruppo(nome)];
    if (g.quanti == 0 || nome < g.nome)
        g.nome = nome;
    g.quanti += quanti;
}

// Members by a field's bytes as stored: a large archive holds few distinct towns, so
// each is made a text and grouped once, at the end.
class TPerTesto {
public:
    void Conta(const TScheda &s, Campo c)
    {
        const auto [d, n] = Grezzo(s, c);
        const QByteArray chiave = QByteArray::fromRawData(reinterpret_cast<const char *>(d), n);
        const auto it = m_quanti.find(chiave);
        if (it != m_quanti.end())
            ++*it;
        else
            m_quanti.insert(QByteArray(chiave.constData(), chiave.size()), 1);
    }
    void Raggruppa(std::map<QString, TGruppo> &gruppi, bool vuoti) const
    {
        for (auto it = m_quanti.begin(); it != m_quanti.end(); ++it) {
            const QString nome = NomeGruppo(Testo::FromWin1252(it.key()));
            if (vuoti || !nome.isEmpty())
                Statistiche::Conta(gruppi, nome, it.value());
        }
    }

private:
    QHash<QByteArray, int> m_quanti;
};

} // namespace

void Aggiungi(TConteggiSchede &c, int posizione, const TClassi &k, const TFiltroStatistiche &f)
{
    if (k.annullata && !f.annullate)
        c.posizioniAnnullate.push_back(posizione);
    if (k.annullata && k.inPeriodo)
        ++c.annullate;
    if ((f.annullate || !k.annullata) && !k.scadenzaValida)
        ++c.scadenzeNonValide;
    if (!k.contata)
        return;
    ++c.schede;
    if (k.scadenzaValida) {
        if (!k.annullata) {
            if (k.scadenza >= f.oggi)
                ++c.attive;
            else
                ++c.scadute;
            if (k.scadenza >= f.oggi && k.scadenza < f.oggi.addDays(GiorniInScadenza))
                ++c.inScadenza;
        }
        TMeseScadenze &m = c.mesi[Mese(k.scadenza)];
        ++m.tutte;
        if (k.scadenza < f.oggi)
            ++m.scadute;
    }
    if (k.nascitaNonValida)
        ++c.nascitaNonValide;
    if (k.fascia < 0)
        ++c.etaIgnota;
    else if (k.sesso == 0)
        ++c.maschi[size_t(k.fascia)];
    else if (k.sesso == 1)
        ++c.femmine[size_t(k.fascia)];
    else
        ++c.sessoIgnoto;
    if (!k.gruppi)
        return;
    if (!k.comune.isEmpty())
        Conta(c.comuni, k.comune);
    if (!k.provincia.isEmpty())
        Conta(c.province, k.provincia);
    Conta(c.cariche, k.carica);
}

TConteggiSchede ContaScorrendo(TDeposito &deposito, const TFiltroStatistiche &f)
{
    TConteggiSchede c;
    TPerTesto comuni, province, cariche;
    deposito.Scorri(CampiStatistiche, [&](int p, const TScheda &s) {
        const TClassi k = Classifica(s, f, false);
        Aggiungi(c, p, k, f);
        if (k.contata) {
            comuni.Conta(s, Campo::ComuneRes);
            province.Conta(s, Campo::ProvRes);
            cariche.Conta(s, Campo::Carica);
        }
        return true;
    });
    comuni.Raggruppa(c.comuni, false);
    province.Raggruppa(c.province, false);
    cariche.Raggruppa(c.cariche, true);
    return c;
}

TSerieMesi MesiScadenze(const TFiltroStatistiche &f)
{
    TSerieMesi m;
    if (ConPeriodo(f)) {
        m.primo = Mese(f.dal);
        m.valori.assign(size_t(std::min(Mese(f.al) - m.primo + 1, 120)), 0.0);
    } else {
        m.primo = Mese(f.oggi) - 12;
        m.valori.assign(24, 0.0);
    }
    return m;
}

TSerieMesi MesiAnno(const TFiltroStatistiche &f)
{
    if (ConPeriodo(f))
        return MesiScadenze(f);
    TSerieMesi m;
    m.primo = f.oggi.year() * 12;
    m.valori.assign(12, 0.0);
    return m;
}

std::pair<QDate, QDate> Intervallo(const TFiltroStatistiche &f)
{
    if (ConPeriodo(f))
        return {f.dal, f.al};
    return {QDate(f.oggi.year(), 1, 1), QDate(f.oggi.year(), 12, 31)};
}

namespace {

std::vector<TVoce> PiuGrandi(const std::map<QString, TGruppo> &gruppi)
{
    std::vector<TVoce> v;
    v.reserve(gruppi.size());
    for (const auto &[chiave, g] : gruppi)
        v.push_back({g.nome, chiave, g.quanti});
    std::sort(v.begin(), v.end(), [](const TVoce &a, const TVoce &b) {
        return a.quanti != b.quanti ? a.quanti > b.quanti : a.nome < b.nome;
    });
    if (v.size() > size_t(Primi))
        v.resize(size_t(Primi));
    return v;
}

// The value of a month inside the series (callers check with Dentro).
double &Valore(TSerieMesi &s, int mese)
{
    return s.valori[size_t(mese - s.primo)];
}

bool Dentro(const TSerieMesi &s, int mese)
{
    return mese >= s.primo && mese < s.primo + int(s.valori.size());
}

// The renewals' months: the period's, or the last 12 up to this one.
TSerieMesi MesiRinnovi(const TFiltroStatistiche &f)
{
    if (ConPeriodo(f))
        return MesiScadenze(f);
    TSerieMesi m;
    m.primo = Mese(f.oggi) - 11;
    m.valori.assign(12, 0.0);
    return m;
}

void Registro(TDeposito &deposito, const TFiltroStatistiche &f, TStatistiche &r)
{
    const auto [dal, al] = Intervallo(f);
    if (!dal.isValid() || !al.isValid())
        return;
    for (const TTotalePagamenti &t : deposito.TotaliPagamenti(dal, al))
        r.quote += t.centesimi;
    r.quotePerMese = MesiAnno(f);
    r.quoteAnnoPrima = r.quotePerMese;
    r.quoteAnnoPrima.primo -= 12;
    const QDate inizioMesi = PrimoDelMese(r.quoteAnnoPrima.primo);
    const QDate fineMesi =
        PrimoDelMese(r.quotePerMese.primo + int(r.quotePerMese.valori.size())).addDays(-1);
    for (const TTotalePagamenti &t : deposito.TotaliPagamenti(inizioMesi, fineMesi)) {
        const int m = t.anno * 12 + t.mese - 1;
        if (Dentro(r.quotePerMese, m))
            Valore(r.quotePerMese, m) += double(t.centesimi);
        if (Dentro(r.quoteAnnoPrima, m))
            Valore(r.quoteAnnoPrima, m) += double(t.centesimi);
    }
    r.quoteAnnoPrima.primo = r.quotePerMese.primo; // drawn against the same months

    // Renewals: the entries not voided of members counted.
    r.rinnoviInTempo = MesiRinnovi(f);
    r.scaduteNelMese = r.rinnoviInTempo;
    const QDate primoRinnovi = PrimoDelMese(r.rinnoviInTempo.primo);
    const QDate fineRinnovi =
        PrimoDelMese(r.rinnoviInTempo.primo + int(r.rinnoviInTempo.valori.size())).addDays(-1);
    const QDate da = std::min(dal, primoRinnovi.addYears(-1));
    const QDate a = std::max(al, fineRinnovi.addDays(GiorniRinnovo + 1));
    struct TVoceRegistro {
        qint64 id;
        QDate data, dal;
        int posizione;
    };
    std::vector<TVoceRegistro> voci;
    std::unordered_set<qint64> stornate;
    deposito.ScorriPagamenti(da, a, [&](const TPagamento &p) {
        if (p.annulla != 0)
            stornate.insert(p.annulla);
        else
            voci.push_back({p.id, p.data, p.dal, p.posizione});
        return true;
    });
    const std::unordered_set<int> escluse(r.schede.posizioniAnnullate.begin(),
                                          r.schede.posizioniAnnullate.end());
    std::unordered_set<int> rinnovate;
    std::map<std::pair<int, int>, bool> rinnovi; // (member, month of old expiry): in time
    for (const TVoceRegistro &v : voci) {
        if (stornate.count(v.id) || escluse.count(v.posizione))
            continue;
        if (v.data >= dal && v.data <= al)
            rinnovate.insert(v.posizione);
        if (!v.dal.isValid())
            continue;
        const QDate vecchia = v.dal.addDays(-1);
        if (!Dentro(r.rinnoviInTempo, Mese(vecchia)))
            continue;
        bool &inTempo = rinnovi[{v.posizione, Mese(vecchia)}];
        inTempo = inTempo || v.data <= vecchia.addDays(GiorniRinnovo);
    }
    r.rinnovate = int(rinnovate.size());
    TSerieMesi inTempo = r.rinnoviInTempo;
    for (const auto &[chiave, puntuale] : rinnovi) {
        Valore(r.scaduteNelMese, chiave.second) += 1;
        if (puntuale)
            Valore(inTempo, chiave.second) += 1;
    }
    for (size_t i = 0; i < inTempo.valori.size(); ++i) {
        const auto m = r.schede.mesi.find(r.rinnoviInTempo.primo + int(i));
        if (m != r.schede.mesi.end())
            r.scaduteNelMese.valori[i] += m->second.scadute;
        const double base = r.scaduteNelMese.valori[i];
        r.rinnoviInTempo.valori[i] = base > 0 ? inTempo.valori[i] / base : 0.0;
    }
}

} // namespace

TStatistiche Calcola(TDeposito &deposito, const TFiltroStatistiche &f)
{
    TStatistiche r;
    r.schede = deposito.ContaSchede(f);
    r.scadenze = MesiScadenze(f);
    for (const auto &[mese, m] : r.schede.mesi)
        if (Dentro(r.scadenze, mese))
            Valore(r.scadenze, mese) = m.tutte;
    r.comuni = PiuGrandi(r.schede.comuni);
    r.province = PiuGrandi(r.schede.province);
    r.cariche = PiuGrandi(r.schede.cariche);
    Registro(deposito, f, r);
    return r;
}

bool Appartiene(const TClassi &k, const TSelezione &sel, const QDate &oggi)
{
    if (!k.contata)
        return false;
    switch (sel.tipo) {
    case TSelezione::Tipo::Scadenze:
        return k.scadenzaValida && Mese(k.scadenza) == sel.mese;
    case TSelezione::Tipo::Piramide:
        return k.fascia >= 0 && k.fascia == sel.fascia && k.sesso == sel.sesso;
    case TSelezione::Tipo::Comune:
        return !k.comune.isEmpty() && ChiaveGruppo(k.comune) == sel.chiave;
    case TSelezione::Tipo::Provincia:
        return !k.provincia.isEmpty() && ChiaveGruppo(k.provincia) == sel.chiave;
    case TSelezione::Tipo::Carica:
        return ChiaveGruppo(k.carica) == sel.chiave;
    case TSelezione::Tipo::Attive:
        return !k.annullata && k.scadenzaValida && k.scadenza >= oggi;
    case TSelezione::Tipo::Scadute:
        return !k.annullata && k.scadenzaValida && k.scadenza < oggi;
    case TSelezione::Tipo::ScaduteNelMese:
        return k.scadenzaValida && k.scadenza < oggi && Mese(k.scadenza) == sel.mese;
    }
    return false;
}

std::vector<int> Membri(TDeposito &deposito, const TFiltroStatistiche &f, const TSelezione &sel)
{
    std::vector<int> posizioni;
    deposito.Scorri(CampiStatistiche, [&](int p, const TScheda &s) {
        if (Appartiene(Classifica(s, f), sel, f.oggi))
            posizioni.push_back(p);
        return true;
    });
    return posizioni;
}

} // namespace Statistiche
