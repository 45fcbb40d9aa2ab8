#pragma once

#include <libusb.h>

#include <QSharedPointer>

#include <cstdint>
#include <sys/types.h>

// The libusb calls the USB transport makes, behind one interface so that the
// tests can put a simulated bus under the grabber, the device handlers and
// the endpoints. Every operation has the meaning and the result codes of the
// libusb function of the same name.
class LibUSBApi
{
public:
    virtual ~LibUSBApi();

    // The real libusb-1.0 of this machine, shared by every user.
    static QSharedPointer<LibUSBApi> system();

    virtual int init(libusb_context** context) = 0;
    virtual void exit(libusb_context* context) = 0;
    // libusb_set_option with LIBUSB_OPTION_LOG_LEVEL.
    virtual int setLogLevel(libusb_context* context, int level) = 0;

    virtual ssize_t getDeviceList(libusb_context* context, libusb_device*** list) = 0;
    virtual void freeDeviceList(libusb_device** list, int unrefDevices) = 0;
    virtual int getDeviceDescriptor(libusb_device* device, libusb_device_descriptor* descriptor) = 0;
    virtual uint8_t getBusNumber(libusb_device* device) = 0;
    virtual uint8_t getPortNumber(libusb_device* device) = 0;
    virtual uint8_t getDeviceAddress(libusb_device* device) = 0;
    virtual int getDeviceSpeed(libusb_device* device) = 0;

    virtual int open(libusb_device* device, libusb_device_handle** handle) = 0;
    virtual void close(libusb_device_handle* handle) = 0;
    virtual int getStringDescriptorAscii(libusb_device_handle* handle, uint8_t index, unsigned char* data,
                                         int length) = 0;

    virtual int getConfigDescriptor(libusb_device* device, uint8_t index, libusb_config_descriptor** config) = 0;
    virtual void freeConfigDescriptor(libusb_config_descriptor* config) = 0;
    virtual int getSsEndpointCompanionDescriptor(libusb_context* context, const libusb_endpoint_descriptor* endpoint,
                                                 libusb_ss_endpoint_companion_descriptor** companion) = 0;
    virtual void freeSsEndpointCompanionDescriptor(libusb_ss_endpoint_companion_descriptor* companion) = 0;

    virtual int kernelDriverActive(libusb_device_handle* handle, int interfaceNumber) = 0;
    virtual int detachKernelDriver(libusb_device_handle* handle, int interfaceNumber) = 0;
    virtual int getConfiguration(libusb_device_handle* handle, int* configuration) = 0;
    virtual int setConfiguration(libusb_device_handle* handle, int configuration) = 0;
    virtual int claimInterface(libusb_device_handle* handle, int interfaceNumber) = 0;
    virtual int releaseInterface(libusb_device_handle* handle, int interfaceNumber) = 0;
    virtual int clearHalt(libusb_device_handle* handle, unsigned char endpoint) = 0;

    virtual int controlTransfer(libusb_device_handle* handle, uint8_t requestType, uint8_t request, uint16_t value,
                                uint16_t index, unsigned char* data, uint16_t length, unsigned int timeoutMs) = 0;

    virtual libusb_transfer* allocTransfer(int isoPackets) = 0;
    virtual int submitTransfer(libusb_transfer* transfer) = 0;
    virtual int cancelTransfer(libusb_transfer* transfer) = 0;
    virtual void freeTransfer(libusb_transfer* transfer) = 0;

    virtual int handleEvents(libusb_context* context) = 0;
    // Makes a handleEvents running in another thread (or the next one) return.
    virtual void interruptEventHandler(libusb_context* context) = 0;
};
