#pragma once

// The maker's web address, as literals so that constants made at static
// initialisation in any file can be built from it.
#define MOVRA_WEB_HOST "https://www.movrane.com"
#define MOVRA_ORGANIZATION_DOMAIN "movrane.com"
