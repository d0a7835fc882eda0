#include <windows.h>

extern "C" __declspec(dllexport) void* nvapi_QueryInterface(unsigned int id)
{
    return nullptr;
}
