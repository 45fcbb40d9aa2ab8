#include "tests/e2e/kernel-usb/CountingLibUSB.h"

int CountingLibUSB::init(libusb_context** context)
{
    const int result = LibUSBSystem::init(context);
    if (result == 0)
        ++m_contexts;
    return result;
}

void CountingLibUSB::exit(libusb_context* context)
{
    --m_contexts;
    LibUSBSystem::exit(context);
}

int CountingLibUSB::open(libusb_device* device, libusb_device_handle** handle)
{
    const int result = LibUSBSystem::open(device, handle);
    if (result == 0)
        ++m_handles;
    return result;
}

void CountingLibUSB::close(libusb_device_handle* handle)
{
    --m_handles;
    LibUSBSystem::close(handle);
}

libusb_transfer* CountingLibUSB::allocTransfer(int isoPackets)
{
    libusb_transfer* transfer = LibUSBSystem::allocTransfer(isoPackets);
    if (transfer)
        ++m_transfers;
    return transfer;
}

void CountingLibUSB::freeTransfer(libusb_transfer* transfer)
{
    if (transfer)
        --m_transfers;
    LibUSBSystem::freeTransfer(transfer);
}

int CountingLibUSB::submitTransfer(libusb_transfer* transfer)
{
    const int result = LibUSBSystem::submitTransfer(transfer);
    if (result == 0)
        ++m_submitted;
    return result;
}

int CountingLibUSB::handleEvents(libusb_context* context)
{
    ++m_inEvents;
    const int result = LibUSBSystem::handleEvents(context);
    --m_inEvents;
    return result;
}

int CountingLibUSB::clearHalt(libusb_device_handle* handle, unsigned char endpoint)
{
    const int result = LibUSBSystem::clearHalt(handle, endpoint);
    if (result == 0)
        ++m_clearedHalts;
    return result;
}
