#include "cameraroster.h"

#include "cameraprofile.h"
#include "homecameratrust.h"
#include "passwordstore.h"
#include "rememberedcameras.h"
#include "rememberedmodels.h"
#include "usbcamerafinder.h"

#include <QDebug>
#include <QHostAddress>

CameraRoster::CameraRoster(QObject* parent)
    : QObject(parent)
    , m_usb(new UsbCameraFinder(this))
    , m_passwords(new PasswordStore(this))
{
    connect(m_usb, &UsbCameraFinder::found, this,
            [this](const QHostAddress& host, const QString& serial) { usbFound(host, serial); });
    connect(m_usb, &UsbCameraFinder::lost, this, &CameraRoster::usbLost);
    connect(m_passwords, &PasswordStore::loaded, this, [this](const QString& serial, const QString& password) {
        if (!m_waitingHome.contains(serial))
            return;
        HomeNetworkCamera home = m_waitingHome.take(serial);
        // Without its password it cannot be asked anything: set up again.
        if (password.isEmpty()) {
            qDebug() << "no password for the camera" << serial;
            return;
        }
        // Set up again meanwhile: what Bluetooth handed over is newer.
        if (const Camera* camera = bySerial(serial)) {
            for (const CameraAddress& address : camera->addresses()) {
                if (address.link() == CameraAddress::Link::Home)
                    return;
            }
        }
        home.password = password;
        addHome(home);
    });
}

void CameraRoster::start()
{
    // The camera's own Wi-Fi is always there to be found: any camera's access point lands there.
    Camera* accessPoint = newCamera();
    // Polled from the start in the family of the model chosen last.
    settleModel(accessPoint);
    accessPoint->addAddress(CameraAddress::accessPoint());
    relist();
    // Cables: found by themselves, within two seconds of the link coming up.
    m_usb->start();
    askRememberedHomeCameras();
}

Camera* CameraRoster::newCamera()
{
    auto* camera = new Camera(this);
    m_all.append(camera);
    connect(camera, &Camera::changed, this, [this, camera] { emit cameraChanged(camera); });
    connect(camera, &Camera::stateChanged, this, [this, camera] { emit cameraChanged(camera); });
    connect(camera, &Camera::routeChanged, this, [this, camera] { emit cameraChanged(camera); });
    connect(camera, &Camera::identified, this, [this, camera] { identified(camera); });
    connect(camera, &Camera::linkConfirmed, this,
            [this, camera](const CameraAddress& address) { linkConfirmed(camera, address); });
    connect(camera, &Camera::otherCameraAt, this,
            [this, camera](const CameraAddress& address, const CameraInfo& info) {
                otherCameraAt(camera, address, info);
            });
    connect(camera, &Camera::cameOnline, this, [this, camera] {
        emit answering(camera, true);
        preferAnswering(camera);
    });
    connect(camera, &Camera::wentOffline, this, [this, camera] { emit answering(camera, false); });
    connect(camera, &Camera::commandFailed, this, [this, camera](const QUrl& command, const QString& why) {
        emit commandFailed(camera, command, why);
    });
    return camera;
}

Camera* CameraRoster::camera(Camera::Id id) const
{
    for (Camera* camera : m_all) {
        if (camera->id() == id)
            return camera;
    }
    return nullptr;
}

bool CameraRoster::isListed(Camera::Id id) const
{
    for (const Camera* camera : m_listed) {
        if (camera->id() == id)
            return true;
    }
    return false;
}

Camera* CameraRoster::bySerial(const QString& serial) const
{
    if (serial.isEmpty())
        return nullptr;
    for (Camera* camera : m_all) {
        if (camera->serial() == serial)
            return camera;
    }
    return nullptr;
}

void CameraRoster::setCurrent(Camera::Id id)
{
    Camera* chosen = camera(id);
    if (!chosen || id == m_current || !isListed(id))
        return;
    makeCurrent(chosen);
}

void CameraRoster::makeCurrent(Camera* chosen)
{
    const Camera::Id id = chosen->id();
    if (id == m_current)
        return;
    if (Camera* left = current())
        left->setCurrent(false);
    m_current = id;
    chosen->setCurrent(true);
    emit currentChanged(chosen);
}

void CameraRoster::preferAnswering(Camera* camera)
{
    const Camera* shown = current();
    if (camera->isOnline() && isListed(camera->id()) && (!shown || !shown->isOnline()))
        setCurrent(camera->id());
}

void CameraRoster::relist(Camera* successor)
{
    QList<Camera*> listed;
    for (Camera* camera : std::as_const(m_listed)) {
        if (camera->hasLinks())
            listed << camera;
    }
    for (Camera* camera : std::as_const(m_all)) {
        if (camera->hasLinks() && !listed.contains(camera))
            listed << camera;
    }
    if (listed == m_listed)
        return;
    QList<Camera::Id> left;
    for (const Camera* camera : std::as_const(m_listed)) {
        if (!listed.contains(camera))
            left << camera->id();
    }
    QList<Camera*> came;
    for (Camera* camera : std::as_const(listed)) {
        if (!m_listed.contains(camera))
            came << camera;
    }
    m_listed = listed;
    emit listChanged();
    for (const Camera::Id id : left) {
        qDebug() << "camera left the list:" << id;
        emit cameraLeft(id);
    }
    // The camera shown left: its successor (the same camera reached another way, or the camera
    // now at its address), else one that answers, else the first.
    if (!isListed(m_current)) {
        Camera* next = successor && isListed(successor->id()) ? successor : nullptr;
        for (Camera* camera : std::as_const(m_listed)) {
            if (!next || (camera->isOnline() && !next->isOnline() && next != successor))
                next = camera;
        }
        if (next)
            makeCurrent(next);
    }
    // A camera that appears while the one shown does not answer is shown; one that answers is
    // preferred to one that does not.
    for (Camera* camera : std::as_const(came)) {
        const Camera* shown = current();
        if (!shown || !shown->isOnline())
            makeCurrent(camera);
    }
    for (Camera* camera : std::as_const(m_listed))
        preferAnswering(camera);
}

void CameraRoster::identified(Camera* camera)
{
    // The camera told its serial, already known for another camera (the access point's camera,
    // on a cable too): one camera, reached both ways.
    for (Camera* twin : std::as_const(m_all)) {
        if (twin != camera && !camera->serial().isEmpty() && twin->serial() == camera->serial()) {
            merge(camera, twin);
            return;
        }
    }
    settleModel(camera);
}

void CameraRoster::merge(Camera* from, Camera* into)
{
    into->tell(from->modelName(), from->modelWasTold() ? from->model() : 0);
    into->setFirmware(from->firmware());
    for (const CameraAddress& address : from->addresses()) {
        const bool answers = from->answersAt(address);
        from->removeAddress(address);
        into->addAddress(address, answers);
    }
    settleModel(into);
    // What is left of from was only a way to into: it goes, so that its serial names one camera.
    m_all.removeOne(from);
    from->deleteLater();
    relist(into);
}

void CameraRoster::linkConfirmed(Camera* camera, const CameraAddress& address)
{
    // Plugged in again, or new: its model settled, then wired control where the model needs it.
    if (address.link() != CameraAddress::Link::Usb)
        return;
    settleModel(camera);
    if (camera->model() >= 10)
        camera->enableWiredControl();
}

void CameraRoster::otherCameraAt(Camera* camera, const CameraAddress& address, const CameraInfo& info)
{
    qDebug() << "another camera at" << address.host().toString() << ":" << info.serial << "instead of"
             << camera->serial();
    camera->removeAddress(address);
    Camera* other = bySerial(info.serial);
    if (!other) {
        other = newCamera();
        other->setSerial(info.serial);
    }
    other->setFirmware(info.firmware);
    other->tell(info.modelName, info.generation);
    settleModel(other);
    other->addAddress(address, true);
    relist(other);
}

void CameraRoster::settleModel(Camera* camera)
{
    const QString serial = camera->serial();
    RememberedModels remembered;
    if (camera->modelWasTold()) {
        remembered.remember(serial, QStringLiteral("hero%1").arg(camera->model()), camera->modelName());
        return;
    }
    if (camera->modelName().isEmpty())
        camera->setModelName(remembered.name(serial));
    if (const int known = CameraProfile::modelNumber(remembered.model(serial)); known > 0)
        camera->setModel(known);
    else if (camera->model() <= 0 && m_chosenModel > 0)
        camera->setModel(m_chosenModel);
}

void CameraRoster::chooseModel(int model)
{
    m_chosenModel = model;
    Camera* camera = current();
    if (!camera || model <= 0)
        return;
    camera->setModel(model);
    bool cable = false;
    for (const CameraAddress& address : camera->addresses())
        cable = cable || address.link() == CameraAddress::Link::Usb;
    if (cable && model >= 10)
        camera->enableWiredControl();
}

void CameraRoster::usbFound(const QHostAddress& host, const QString& serial)
{
    const CameraAddress address = CameraAddress::usb(host);
    for (const Camera* camera : std::as_const(m_all)) {
        if (camera->hasAddress(address))
            return;
    }
    // The serial comes with the cable: a cable that comes and goes is the same camera each time.
    Camera* camera = bySerial(serial);
    if (!camera) {
        camera = newCamera();
        camera->setSerial(serial);
        settleModel(camera);
    }
    camera->addAddress(address);
    relist();
}

void CameraRoster::usbLost(const QHostAddress& host)
{
    const CameraAddress address = CameraAddress::usb(host);
    for (Camera* camera : std::as_const(m_all)) {
        if (camera->hasAddress(address))
            camera->removeAddress(address);
    }
    relist();
}

void CameraRoster::askRememberedHomeCameras()
{
    QString refused;
    const QList<HomeNetworkCamera> remembered = RememberedCameras().cameras(&refused);
    if (!refused.isEmpty()) {
        qDebug() << "remembered cameras refused:" << refused;
        emit problem(tr("The cameras on the home network are not reached: %1. Make it a file of your "
                        "own that only you may change, or remove it and set the cameras up again.")
                         .arg(refused));
    }
    // One address, one camera: where two were remembered at one address (the router gave it to
    // the camera set up later), the later one has it.
    QHash<QString, HomeNetworkCamera> byAddress;
    for (const HomeNetworkCamera& known : remembered)
        byAddress.insert(known.address.toString(), known);
    for (const HomeNetworkCamera& known : remembered) {
        if (byAddress.value(known.address.toString()).serial != known.serial) {
            qDebug() << "camera" << known.serial << "not reached: its address is another camera's now";
            continue;
        }
        m_waitingHome.insert(known.serial, known);
        m_passwords->load(known.serial);
    }
}

Camera* CameraRoster::addHome(const HomeNetworkCamera& home)
{
    if (!home.isComplete() || !HomeCameraTrust::instance()->trust(home))
        return nullptr;
    // One address, one camera: a remembered camera whose password is still on its way was set
    // up before this one, so the address is this one's.
    for (auto it = m_waitingHome.begin(); it != m_waitingHome.end();) {
        if (it->serial != home.serial && it->address == home.address) {
            qDebug() << "camera" << it->serial << "not reached: its address is another camera's now";
            it = m_waitingHome.erase(it);
        } else {
            ++it;
        }
    }
    const CameraAddress address = CameraAddress::home(home.address);
    Camera* camera = bySerial(home.serial);
    for (Camera* other : std::as_const(m_all)) {
        // One address, one camera: a camera there before has left it.
        if (other != camera && other->hasAddress(address))
            other->removeAddress(address);
    }
    if (!camera) {
        camera = newCamera();
        camera->setSerial(home.serial);
    }
    // At a new address: the old one is no longer its.
    for (const CameraAddress& old : camera->addresses()) {
        if (old.link() == CameraAddress::Link::Home && old != address)
            camera->removeAddress(old);
    }
    camera->tell(home.modelName, home.model);
    settleModel(camera);
    camera->addAddress(address);
    relist();
    return camera;
}
