#pragma once
#include "platform/volumes.h"

Volumes& Win32Volumes();
