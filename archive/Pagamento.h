#pragma once
// The fee register: one entry per payment recorded by a renewal, or the counter-entry
// that voids a mistaken receipt. Entries are never edited nor deleted.
#include <QDate>
#include <QString>

struct TPagamento {
    qint64 id = 0;        // the register's own key
    int anno = 0;         // the receipt's year
    int numero = 0;       // gap-free within the year
    QDate data;           // the day of the payment
    int posizione = 0;    // the member's position in the archive
    QString tessera;      // card number
    QString nominativo;   // the member's name
    qint64 centesimi = 0; // amount in euro cents
    QString metodo;       // "Contanti", "Bonifico", "Carta/POS", "Assegno", "Altro"
    QDate dal;            // period covered, first day
    QDate al;             // period covered, last day (the new expiry)
    QString causale;      // purpose, e.g. "Quota associativa 2026"
    QString inseritoDa;   // who entered it
    qint64 annulla = 0;   // the id of the entry this one voids; 0 for a payment

    // The receipt's number as printed: "12/2026".
    QString Ricevuta() const { return QStringLiteral("%1/%2").arg(numero).arg(anno); }
};

// The register's sums for one month and one method of payment.
struct TTotalePagamenti {
    int anno = 0;
    int mese = 0; // 1..12
    QString metodo;
    qint64 centesimi = 0; // voids counted with their sign
    int quanti = 0;       // entries counted
};
