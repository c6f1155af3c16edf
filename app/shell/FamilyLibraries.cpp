#include "FamilyLibraries.h"

#include "tvDaHeader.h"
#include "tvGnHeader.h"
#include "tvScHeader.h"

FamilyLibraries::FamilyLibraries() {
    tvDa::Bind();
    tvGn::Bind();
    // Loading the security library runs its own start-up, which binds the libraries it
    // uses for itself; the two above are already in the process then.
    tvSc::Bind();
}

FamilyLibraries::~FamilyLibraries() {
    tvSc::Release();
    tvGn::Release();
    tvDa::Release();
}
