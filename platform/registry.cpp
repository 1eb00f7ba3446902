// Implemented by the registry store work; placeholder so the platform library links.
#include "platform/registry.h"
