#include "platform/Fotocamera.h"

#include "platform/SorgenteFotogrammi.h"

#include <QCamera>
#include <QMediaCaptureSession>
#include <QMediaDevices>
#include <QSemaphore>
#include <QThread>
#include <QVideoFrame>
#include <QVideoSink>

#include <atomic>

namespace {
// Wraps Qt Multimedia's default camera. Frames may arrive on the camera's own
// thread: each is converted there, handed to the user-interface thread, and the
// camera thread waits until it has been drawn, so frames never queue up.
class FotocameraQt : public SorgenteFotogrammi {
public:
    explicit FotocameraQt(QObject *parent) : SorgenteFotogrammi(parent)
    {
        const QCameraDevice dispositivo = QMediaDevices::defaultVideoInput();
        if (dispositivo.isNull())
            return;
        m_camera = new QCamera(dispositivo, this);
        m_sink = new QVideoSink(this);
        m_sessione.setCamera(m_camera);
        m_sessione.setVideoSink(m_sink);
        connect(m_sink, &QVideoSink::videoFrameChanged, m_sink,
                [this](const QVideoFrame &f) { Arrivato(f); }, Qt::DirectConnection);
    }

    ~FotocameraQt() override
    {
        if (m_sink)
            disconnect(m_sink, nullptr, this, nullptr);
        Ferma();
        // A frame still being handed over gives up once it sees the camera stopped.
        while (m_inConsegna.load() > 0)
            QThread::yieldCurrentThread();
    }

    bool Disponibile() const override { return m_camera != nullptr; }

    void Avvia() override
    {
        if (!m_camera)
            return;
        // Forget a hand-over signal left from before a stop.
        while (m_disegnato.tryAcquire())
            ;
        m_consegna = true;
        m_camera->start();
    }

    void Ferma() override
    {
        // First release any waiting camera thread, then stop the camera: stopping may
        // wait for that very thread.
        m_consegna = false;
        if (m_camera)
            m_camera->stop();
    }

    bool Attiva() const override { return m_camera && m_camera->isActive(); }

private:
    // Called on whatever thread delivers the frame.
    void Arrivato(const QVideoFrame &f)
    {
        if (!m_consegna)
            return;
        if (QThread::currentThread() == thread()) {
            const QImage img = f.toImage();
            if (!img.isNull())
                emit Fotogramma(img);
            return;
        }
        ++m_inConsegna;
        const QImage img = f.toImage();
        if (!img.isNull()) {
            QMetaObject::invokeMethod(
                this,
                [this, img] {
                    if (m_consegna)
                        emit Fotogramma(img); // drawn synchronously by the receiver
                    m_disegnato.release();
                },
                Qt::QueuedConnection);
            // Wait until the frame is drawn; stop waiting when the camera is stopped.
            while (!m_disegnato.tryAcquire(1, 50))
                if (!m_consegna)
                    break;
        }
        --m_inConsegna;
    }

    QCamera *m_camera = nullptr;
    QVideoSink *m_sink = nullptr;
    QMediaCaptureSession m_sessione;
    std::atomic<bool> m_consegna{false};
    std::atomic<int> m_inConsegna{0};
    QSemaphore m_disegnato;
};
} // namespace

std::unique_ptr<SorgenteFotogrammi> CreaFotocameraPredefinita(QObject *parent)
{
    return std::make_unique<FotocameraQt>(parent);
}
