// The folder's renewals: the fee register in "Quote.sqlite", the records in "Tesserati.pro",
// tied by the register's marks of renewals begun.
#include "storage/DepositoFile.h"

TDepositoFile::~TDepositoFile() = default;

TRegistroQuoteFile &TDepositoFile::Quote()
{
    if (!m_quote)
        m_quote = std::make_unique<TRegistroQuoteFile>(m_cartella);
    return *m_quote;
}

std::vector<TPagamento> TDepositoFile::PagamentiDi(int posizione)
{
    return Quote().PagamentiDi(posizione);
}

void TDepositoFile::ScorriPagamenti(const QDate &dal, const QDate &al,
                                    const std::function<bool(const TPagamento &)> &visita)
{
    Quote().ScorriPagamenti(dal, al, visita);
}

std::vector<TTotalePagamenti> TDepositoFile::TotaliPagamenti(const QDate &dal, const QDate &al)
{
    return Quote().Totali(dal, al);
}

TPagamento TDepositoFile::StornaPagamentoIl(qint64 id, const QDate &data, const QString &causale,
                                            const QString &da)
{
    return Quote().Storna(id, data, causale, da);
}

std::vector<TDeposito::TEsitoRinnovo> TDepositoFile::Rinnova(std::span<const TRinnovo> rinnovi)
{
    std::vector<TEsitoRinnovo> esiti(rinnovi.size());
    // Positions outside the archive are refused before anything is written.
    const int n = Archivio().NumeroSchede();
    std::vector<TRinnovo> validi;
    std::vector<size_t> dove;
    for (size_t i = 0; i < rinnovi.size(); ++i) {
        if (rinnovi[i].posizione < 1 || rinnovi[i].posizione > n) {
            esiti[i].errore =
                QStringLiteral("La scheda n. %1 non esiste.").arg(rinnovi[i].posizione);
            continue;
        }
        validi.push_back(rinnovi[i]);
        dove.push_back(i);
    }
    if (validi.empty())
        return esiti;
    const std::vector<TPagamento> pagati = Quote().RegistraInSospeso(validi);
    if (PuntoRinnovo)
        PuntoRinnovo(1);
    std::vector<std::pair<int, TScheda>> schede;
    std::vector<qint64> id;
    schede.reserve(validi.size());
    for (size_t i = 0; i < validi.size(); ++i) {
        schede.emplace_back(validi[i].posizione, validi[i].scheda);
        id.push_back(pagati[i].id);
        esiti[dove[i]].pagamento = pagati[i];
    }
    // Should this fail, the marks stay and the next start writes the records.
    Archivio().ScriviSchede(schede);
    if (PuntoRinnovo)
        PuntoRinnovo(2);
    Quote().Concludi(id);
    return esiti;
}

std::vector<TPagamento> TDepositoFile::CompletaRinnovi()
{
    std::vector<TPagamento> completati;
    const std::vector<TRegistroQuoteFile::TSospeso> sospesi = Quote().InSospeso();
    if (sospesi.empty())
        return completati;
    std::vector<std::pair<int, TScheda>> schede;
    std::vector<qint64> id;
    for (const TRegistroQuoteFile::TSospeso &s : sospesi) {
        schede.emplace_back(s.posizione, s.scheda);
        id.push_back(s.pagamento.id);
        completati.push_back(s.pagamento);
    }
    Archivio().ScriviSchede(schede);
    Quote().Concludi(id);
    return completati;
}
