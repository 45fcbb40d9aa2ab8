#pragma once

#include "device/usb/LibUSBApi.h"

// LibUSBApi over the real libusb-1.0.
class LibUSBSystem : public LibUSBApi
{
public:
    int init(libusb_context** context) override;
    void exit(libusb_context* context) override;
    int setLogLevel(libusb_context* context, int level) override;

    ssize_t getDeviceList(libusb_context* context, libusb_device*** list) override;
    void freeDeviceList(libusb_device** list, int unrefDevices) override;
    int getDeviceDescriptor(libusb_device* device, libusb_device_descriptor* descriptor) override;
    uint8_t getBusNumber(libusb_device* device) override;
    uint8_t getPortNumber(libusb_device* device) override;
    uint8_t getDeviceAddress(libusb_device* device) override;
    int getDeviceSpeed(libusb_device* device) override;

    int open(libusb_device* device, libusb_device_handle** handle) override;
    void close(libusb_device_handle* handle) override;
    int getStringDescriptorAscii(libusb_device_handle* handle, uint8_t index, unsigned char* data, int length) override;

    int getConfigDescriptor(libusb_device* device, uint8_t index, libusb_config_descriptor** config) override;
    void freeConfigDescriptor(libusb_config_descriptor* config) override;
    int getSsEndpointCompanionDescriptor(libusb_context* context, const libusb_endpoint_descriptor* endpoint,
                                         libusb_ss_endpoint_companion_descriptor** companion) override;
    void freeSsEndpointCompanionDescriptor(libusb_ss_endpoint_companion_descriptor* companion) override;

    int kernelDriverActive(libusb_device_handle* handle, int interfaceNumber) override;
    int detachKernelDriver(libusb_device_handle* handle, int interfaceNumber) override;
    int getConfiguration(libusb_device_handle* handle, int* configuration) override;
    int setConfiguration(libusb_device_handle* handle, int configuration) override;
    int claimInterface(libusb_device_handle* handle, int interfaceNumber) override;
    int releaseInterface(libusb_device_handle* handle, int interfaceNumber) override;
    int clearHalt(libusb_device_handle* handle, unsigned char endpoint) override;

    int controlTransfer(libusb_device_handle* handle, uint8_t requestType, uint8_t request, uint16_t value,
                        uint16_t index, unsigned char* data, uint16_t length, unsigned int timeoutMs) override;

    libusb_transfer* allocTransfer(int isoPackets) override;
    int submitTransfer(libusb_transfer* transfer) override;
    int cancelTransfer(libusb_transfer* transfer) override;
    void freeTransfer(libusb_transfer* transfer) override;

    int handleEvents(libusb_context* context) override;
    void interruptEventHandler(libusb_context* context) override;
};
