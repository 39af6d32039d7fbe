#pragma once
// The host's hardware and IPv4 address, which the page reads as the
// configuration keys "MacAddress" and "IpAddress".

#include "app/client_conf.h"

HostIdentity discoverHostIdentity();
