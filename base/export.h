#pragma once

// The foundation classes are exported by VARNOK.exe so that other modules can link
// against them through its import library.
#ifdef VARNOK_IMPORT
#define VARNOK_API __declspec(dllimport)
#else
#define VARNOK_API __declspec(dllexport)
#endif
