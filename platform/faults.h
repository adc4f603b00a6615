// Fault injection: any layer call that returns a result code can be told to fail,
// so that every failure path of the game can be reached in tests.
#pragma once
#include <string>

#include "platform/win.h"

// From now on, after letting `skip` calls through, the call named `call` (for
// example "IDirectDrawSurface::Lock") fails with `result`, `times` times
// (-1: every time).
void InjectFault(const std::string& call, HRESULT result, int skip = 0, int times = 1);
void ClearFaults();

// Called by the layer at the top of each faultable call: true (and the result to
// return) when this call is to fail.
bool TakeFault(const char* call, HRESULT* result);
