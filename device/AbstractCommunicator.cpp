#include "device/AbstractCommunicator.h"

#include <QDebug>
#include <QMetaType>

AbstractCommunicator::AbstractCommunicator(QObject* parent)
    : QObject(parent)
{
    qRegisterMetaType<QSharedPointer<MovraDeviceInfo>>();
    m_grabberThread = QSharedPointer<QThread>::create();
}

AbstractCommunicator::~AbstractCommunicator()
{
    // A communicator destroyed without its thread's finished signal (never
    // started, or torn down early) still stops its grabber thread first.
    finishGrabberThread();
    m_grabber.reset();
    m_grabberThread.reset();
}

void AbstractCommunicator::startGrabber(QSharedPointer<AbstractGrabber> grabber)
{
    if (!m_grabberThread)
        m_grabberThread = QSharedPointer<QThread>::create();
    finishGrabberThread();
    m_grabber = grabber;
    if (!m_grabber)
        return;
    connect(m_grabber.data(), &AbstractGrabber::sendDeviceInserted, this, &AbstractCommunicator::onDeviceInserted);
    connect(m_grabber.data(), &AbstractGrabber::sendDeviceRemoved, this, &AbstractCommunicator::onDeviceRemoved);
    connect(m_grabberThread.data(), &QThread::started, m_grabber.data(), &AbstractGrabber::run);
    connect(m_grabberThread.data(), &QThread::finished, m_grabber.data(), &AbstractGrabber::stop);
    m_grabberThread->setObjectName(QString::fromLatin1(m_grabber->metaObject()->className()));
    m_grabber->moveToThread(m_grabberThread.data());
    m_grabberThread->start(QThread::LowPriority);
}

void AbstractCommunicator::stopGrabber()
{
    finishGrabberThread();
    m_grabberThread.reset();
    // The grabber's thread has ended, so no event loop would ever run a
    // deferred delete: the shared pointer alone destroys it, exactly once.
    m_grabber.reset();
}

void AbstractCommunicator::finishGrabberThread()
{
    // isRunning() is already false while the thread emits finished, so wait
    // on every thread: waiting on one that never started returns at once.
    if (!m_grabberThread)
        return;
    m_grabberThread->quit();
    if (!m_grabberThread->wait(GrabberStopWaitMs)) {
        // A look for devices is still running: a thread object must never be
        // destroyed while its thread runs, so wait for that look to end.
        qInfo() << "Grabber thread still busy after" << GrabberStopWaitMs << "ms, waiting for it";
        m_grabberThread->wait();
    }
}
