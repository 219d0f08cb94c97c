#pragma once
// The list model behind a record list: a sorted list handed over whole, so 100,000
// lines appear at once instead of by one-by-one sorted insertion; each line is built
// when the view shows it.
#include "lists/core/Elenco.h"

#include <QAbstractListModel>
#include <QSize>

class TModelloElenco : public QAbstractListModel {
    Q_OBJECT
public:
    // The record position of a line.
    static constexpr int RuoloPosizione = Qt::UserRole + 1;

    using QAbstractListModel::QAbstractListModel;

    void Imposta(Elenco elenco);
    void Svuota() { Imposta({}); }
    const Elenco &Voci() const { return m_elenco; }
    // Width and height of every line in the view.
    void setDimensioneRiga(QSize s);
    // Characters of the longest line.
    int LunghezzaMassima() const { return m_lunghezzaMassima; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    Elenco m_elenco;
    QSize m_dimensione;
    int m_lunghezzaMassima = 0;
};
