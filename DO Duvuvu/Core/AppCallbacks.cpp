#include "AppCallbacks.h"

AppCallbackTable AppCallbacks;
