#include "platform/Fotocamera.h"

#include "platform/ModuloMultimedia.h"
#include "platform/SorgenteFotogrammi.h"

#include <QThread>

ConsegnaFotogrammi::ConsegnaFotogrammi(QObject *parent) : QObject(parent) {}

ConsegnaFotogrammi::~ConsegnaFotogrammi()
{
    Chiudi();
    // A caller still inside Consegna leaves within one wait step once closed.
    while (m_inCorso.load() > 0)
        QThread::yieldCurrentThread();
}

void ConsegnaFotogrammi::Apri()
{
    // Forget a hand-over signal left from a frame abandoned at a previous close.
    while (m_gestito.tryAcquire())
        ;
    m_aperta = true;
}

void ConsegnaFotogrammi::Chiudi()
{
    m_aperta = false;
}

bool ConsegnaFotogrammi::Consegna(const QImage &img)
{
    if (!m_aperta || img.isNull())
        return false;
    if (QThread::currentThread() == thread()) {
        emit Fotogramma(img);
        return true;
    }
    ++m_inCorso;
    QMetaObject::invokeMethod(
        this,
        [this, img] {
            if (m_aperta)
                emit Fotogramma(img); // the receiver draws it before returning
            m_gestito.release();
        },
        Qt::QueuedConnection);
    // Wait until it has been handled; give up when closed, so stopping the camera
    // from the user-interface thread never waits on a blocked camera thread.
    bool gestito = false;
    while (!(gestito = m_gestito.tryAcquire(1, 20)))
        if (!m_aperta)
            break;
    --m_inCorso;
    return gestito;
}

namespace {
// Wraps the module's default camera. Frames may arrive on the camera's own thread: each
// is handed over one at a time. The hand-over object is shared with the frame callback,
// so a frame still arriving while the camera is destroyed never touches a destroyed
// object; it is deleted on its own thread once the last user lets go.
class FotocameraQt : public SorgenteFotogrammi {
public:
    explicit FotocameraQt(QObject *parent)
        : SorgenteFotogrammi(parent), m_consegna(new ConsegnaFotogrammi, [](ConsegnaFotogrammi *c) {
              c->Chiudi();
              c->deleteLater();
          })
    {
        connect(m_consegna.get(), &ConsegnaFotogrammi::Fotogramma, this,
                &SorgenteFotogrammi::Fotogramma);
        const TModuloMultimedia *modulo = ModuloMultimedia();
        if (!modulo)
            return;
        m_camera.reset(modulo->fotocamera([consegna = m_consegna](const QImage &img) {
            if (consegna->Aperta())
                consegna->Consegna(img);
        }));
    }

    ~FotocameraQt() override
    {
        Ferma();
        m_camera.reset();
    }

    bool Disponibile() const override { return m_camera && m_camera->Disponibile(); }

    void Avvia() override
    {
        if (!Disponibile())
            return;
        m_consegna->Apri();
        m_camera->Avvia();
    }

    void Ferma() override
    {
        // Release a waiting camera thread first: stopping may wait for that thread.
        m_consegna->Chiudi();
        if (m_camera)
            m_camera->Ferma();
    }

    bool Attiva() const override { return m_camera && m_camera->Attiva(); }

private:
    std::shared_ptr<ConsegnaFotogrammi> m_consegna;
    std::unique_ptr<TFotocameraModulo> m_camera;
};
} // namespace

std::unique_ptr<SorgenteFotogrammi> CreaFotocameraPredefinita(QObject *parent)
{
    return std::make_unique<FotocameraQt>(parent);
}
