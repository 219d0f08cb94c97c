#include "lists/core/ModelloElenco.h"

void TModelloElenco::Imposta(Elenco elenco)
{
    beginResetModel();
    m_elenco = std::move(elenco);
    m_lunghezzaMassima = m_elenco.LunghezzaMassima();
    endResetModel();
}

void TModelloElenco::setDimensioneRiga(QSize s)
{
    m_dimensione = s;
    if (!m_elenco.empty())
        emit dataChanged(index(0), index(rowCount() - 1), {Qt::SizeHintRole});
}

int TModelloElenco::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_elenco.size());
}

QVariant TModelloElenco::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    // The line is built when the view asks for it.
    const auto riga = static_cast<size_t>(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return m_elenco.Riga(riga);
    case RuoloPosizione:
        return m_elenco.Posizione(riga);
    case Qt::SizeHintRole:
        return m_dimensione.isValid() ? QVariant(m_dimensione) : QVariant();
    default:
        return {};
    }
}
