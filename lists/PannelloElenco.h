#pragma once
// The record-list panel shared by the search results and the renewal list: banner,
// fixed texts, find box, the list of record lines and the two buttons.
#include "lists/core/ModelloElenco.h"

#include <QWidget>

class QLabel;
class QLineEdit;
class QListView;
class QPushButton;

// Banner picture with a title in capitals.
class TBanner : public QWidget {
    Q_OBJECT
public:
    TBanner(const QString &titolo, QWidget *parent = nullptr);
    QString Titolo() const { return m_titolo; }
    QSize sizeHint() const override { return {960, 64}; }

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QString m_titolo;
};

class TPannelloElenco : public QWidget {
    Q_OBJECT
public:
    // `conConteggio` adds the count line lblTrovate.
    TPannelloElenco(const QString &nome, const QString &titolo, bool conConteggio,
                    QWidget *parent = nullptr);

    QLineEdit *txtTrova;
    QPushButton *btnTrova;
    QListView *lstRecords;
    QLabel *lblTrovate = nullptr;
    QPushButton *btnChiudi;
    QPushButton *btnStampa;
    QPushButton *cmdTessere;
    QPushButton *cmdRinnova;
    TModelloElenco *modello;

    // Fills the list and widens its lines so long notes scroll sideways.
    void Riempi(Elenco elenco);
    void Svuota();
    int Selezionata() const; // -1 when no line is selected
    void Seleziona(int riga);
    // Position of the record behind the selected line, 0 when none.
    int PosizioneSelezionata() const;
    QStringList Righe() const;
    // Positions of the chosen lines in list order; every line when none is chosen.
    QList<int> PosizioniScelte() const;
    bool NessunaScelta() const;

    // Find inside the list; `ultimaChiave` is the last key of the calling screen's module.
    void Trova(QString &ultimaChiave);
};
