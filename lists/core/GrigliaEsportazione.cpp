// The export grid's model: rows read from the archive a page at a time when shown, the
// user's edits kept aside, and the file's rows written from one pass over the archive.
#include "archive/Testo.h"
#include "lists/core/Esportazione.h"
#include "storage/Deposito.h"

#include <algorithm>

namespace {
// The fields the grid's cells show.
std::vector<Campo> CampiGriglia()
{
    std::vector<Campo> campi;
    for (int c = 1; c < ColonneGriglia; ++c) {
        const ColonnaGriglia &g = Griglia[static_cast<size_t>(c)];
        switch (g.contenuto) {
        case Contenuto::Campo:
            campi.push_back(g.campo);
            break;
        case Contenuto::ComuneNascita:
            campi.insert(campi.end(), {Campo::ComuneNasc, Campo::ProvNasc});
            break;
        case Contenuto::Residenza:
            campi.insert(campi.end(), {Campo::CapRes, Campo::ComuneRes, Campo::ProvRes});
            break;
        case Contenuto::Numero:
            break;
        }
    }
    return campi;
}
} // namespace

TModelloRecords::TModelloRecords(QObject *parent) : QAbstractTableModel(parent) {}

int TModelloRecords::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_righe;
}

int TModelloRecords::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColonneGriglia;
}

QVariant TModelloRecords::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return Cella(index.row(), index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

bool TModelloRecords::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!index.isValid() || role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    m_modifiche.insert(Chiave(index.row(), index.column()), value.toString());
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    return true;
}

Qt::ItemFlags TModelloRecords::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!Griglia[static_cast<size_t>(index.column())].solaLettura)
        f |= Qt::ItemIsEditable;
    return f;
}

QVariant TModelloRecords::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= ColonneGriglia)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return QString::fromUtf8(Griglia[static_cast<size_t>(section)].titolo);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignLeft | Qt::AlignVCenter);
    return {};
}

void TModelloRecords::Svuota()
{
    beginResetModel();
    m_cartella.clear();
    m_righe = RigheIniziali;
    m_schede = 0;
    m_modifiche.clear();
    m_pagine.clear();
    endResetModel();
}

void TModelloRecords::Riempi(const QString &cartella)
{
    beginResetModel();
    m_cartella = cartella;
    m_righe = RigheIniziali;
    m_schede = 0;
    m_modifiche.clear();
    m_pagine.clear();
    try {
        const std::unique_ptr<TDeposito> deposito = ApriDeposito(cartella);
        m_schede = deposito->NumeroSchede();
        deposito->ChiudiArchivio();
    } catch (...) {
        // Silent: the grid keeps its ten empty rows.
        m_schede = 0;
    }
    if (m_schede > 0)
        m_righe = m_schede;
    endResetModel();
}

const TModelloRecords::Pagina &TModelloRecords::PaginaDi(int riga) const
{
    const int prima = riga - riga % RighePagina;
    for (Pagina &p : m_pagine)
        if (p.prima == prima) {
            p.uso = ++m_uso;
            return p;
        }
    // A new page in place of the one unused the longest; the pages never move, so a
    // cell's bytes stay where they are until its page is replaced.
    m_pagine.reserve(PagineTenute);
    if (m_pagine.size() < static_cast<size_t>(PagineTenute))
        m_pagine.emplace_back();
    Pagina &p = *std::min_element(m_pagine.begin(), m_pagine.end(),
                                  [](const Pagina &a, const Pagina &b) { return a.uso < b.uso; });
    p.prima = prima;
    p.uso = ++m_uso;
    p.testo.clear();
    p.inizio.assign(RighePagina, -1);
    p.lunghezze.resize(RighePagina);
    const int ultima = std::min(prima + RighePagina, m_schede);
    if (prima >= ultima)
        return p;
    try {
        TCelleScheda celle;
        const std::unique_ptr<TDeposito> deposito = ApriDeposito(m_cartella);
        deposito->ScorriIntervallo(prima + 1, ultima, CampiGriglia(),
                                   [&](int posizione, const TScheda &s) {
                                       const int i = posizione - 1 - prima;
                                       if (i < 0 || i >= RighePagina)
                                           return i < 0;
                                       celle.Leggi(s);
                                       p.inizio[static_cast<size_t>(i)] = p.testo.size();
                                       p.testo.append(celle.byte.data(), celle.usati);
                                       p.lunghezze[static_cast<size_t>(i)] = celle.lunghezze;
                                       return true;
                                   });
        deposito->ChiudiArchivio();
    } catch (...) {
        // Silent: the rows not read stay empty (until the page is read again).
    }
    return p;
}

const char *TModelloRecords::Byte(int riga, int colonna, int *lunghezza) const
{
    *lunghezza = 0;
    if (riga < 0 || riga >= m_schede || colonna < 1 || colonna >= ColonneGriglia)
        return nullptr;
    const Pagina &p = PaginaDi(riga);
    const auto i = static_cast<size_t>(riga - p.prima);
    if (p.inizio[i] < 0)
        return nullptr;
    qsizetype inizio = p.inizio[i];
    for (int c = 0; c < colonna - 1; ++c)
        inizio += p.lunghezze[i][static_cast<size_t>(c)];
    *lunghezza = p.lunghezze[i][static_cast<size_t>(colonna - 1)];
    return p.testo.constData() + inizio;
}

QString TModelloRecords::Cella(int riga, int colonna) const
{
    if (riga < 0 || riga >= m_righe || colonna < 0 || colonna >= ColonneGriglia)
        return {};
    const auto modifica = m_modifiche.constFind(Chiave(riga, colonna));
    if (modifica != m_modifiche.constEnd())
        return *modifica;
    if (colonna == 0) {
        if (riga >= m_schede)
            return {};
        const Pagina &p = PaginaDi(riga);
        return p.inizio[static_cast<size_t>(riga - p.prima)] >= 0 ? QString::number(riga + 1)
                                                                  : QString();
    }
    int n = 0;
    const char *d = Byte(riga, colonna, &n);
    return d ? Testo::FromWin1252(d, n) : QString();
}

void TModelloRecords::AccodaRigaFile(QByteArray &out, int riga, const TCelleScheda *celle) const
{
    out.append("<tr>");
    for (int c = 1; c < ColonneGriglia; ++c) {
        const auto modifica = m_modifiche.constFind(Chiave(riga, c));
        if (modifica != m_modifiche.constEnd())
            AccodaCellaFile(out, *modifica);
        else if (celle)
            AccodaCellaFile(out, celle->byte.data() + celle->inizio[static_cast<size_t>(c - 1)],
                            celle->lunghezze[static_cast<size_t>(c - 1)]);
        else
            AccodaCellaFile(out, "", 0);
    }
    out.append("</tr>");
}

void TModelloRecords::AccodaRigheFile(QByteArray &out, qsizetype blocco,
                                      const std::function<void()> &pieno) const
{
    int riga = 0; // the next row to write
    auto vuote = [&](int fino) {
        for (; riga < fino; ++riga) {
            AccodaRigaFile(out, riga, nullptr);
            if (out.size() >= blocco)
                pieno();
        }
    };
    if (m_schede > 0) {
        // Rows are the positions the grid was filled with: records appended since (by
        // another desk) are not in the grid, and not in the file.
        TCelleScheda celle;
        const std::unique_ptr<TDeposito> deposito = ApriDeposito(m_cartella);
        deposito->Scorri(CampiGriglia(), [&](int posizione, const TScheda &s) {
            if (posizione > m_righe)
                return false;
            if (posizione <= riga)
                return true;
            vuote(posizione - 1);
            celle.Leggi(s);
            AccodaRigaFile(out, riga++, &celle);
            if (out.size() >= blocco)
                pieno();
            return riga < m_righe;
        });
        deposito->ChiudiArchivio();
    }
    vuote(m_righe);
}
