#include "mail/DialogoPosta.h"

#include "widgets/Tavolozza.h"

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace DialogoPosta {
QVBoxLayout *Cornice(QDialog *d, const QString &nome, const QString &didascalia,
                     const QString &titolo)
{
    d->setObjectName(nome);
    d->setWindowTitle(didascalia);
    d->setModal(true);

    auto *v = new QVBoxLayout(d);
    v->setContentsMargins(20, 16, 20, 16);
    v->setSpacing(10);
    auto *etichetta = new QLabel(titolo, d);
    QFont f = etichetta->font();
    f.setBold(true);
    f.setPointSize(f.pointSize() + 2);
    etichetta->setFont(f);
    etichetta->setStyleSheet(Tavolozza::Stile(Tavolozza::Blu));
    v->addWidget(etichetta);
    return v;
}

void Pulsanti(std::initializer_list<QPushButton *> pulsanti)
{
    for (QPushButton *b : pulsanti) {
        b->setMinimumWidth(110);
        b->setAutoDefault(false);
    }
}
} // namespace DialogoPosta
