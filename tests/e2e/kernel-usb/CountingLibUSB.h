#pragma once

#include "device/usb/LibUSBSystem.h"

#include <atomic>

// The real libusb, with what the program took and has not given back
// counted at the seam: contexts, open handles, transfers allocated and in
// flight, threads inside the event handler; and the halts it cleared.
class CountingLibUSB : public LibUSBSystem
{
public:
    int contexts() const { return m_contexts; }
    int handles() const { return m_handles; }
    int transfers() const { return m_transfers; }
    int submitted() const { return m_submitted; }
    int eventThreads() const { return m_inEvents; }
    int clearedHalts() const { return m_clearedHalts; }

    int init(libusb_context** context) override;
    void exit(libusb_context* context) override;
    int open(libusb_device* device, libusb_device_handle** handle) override;
    void close(libusb_device_handle* handle) override;
    libusb_transfer* allocTransfer(int isoPackets) override;
    void freeTransfer(libusb_transfer* transfer) override;
    int submitTransfer(libusb_transfer* transfer) override;
    int handleEvents(libusb_context* context) override;
    int clearHalt(libusb_device_handle* handle, unsigned char endpoint) override;

private:
    std::atomic<int> m_contexts { 0 };
    std::atomic<int> m_handles { 0 };
    std::atomic<int> m_transfers { 0 };
    std::atomic<int> m_submitted { 0 };
    std::atomic<int> m_inEvents { 0 };
    std::atomic<int> m_clearedHalts { 0 };
};
