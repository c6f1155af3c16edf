// The family libraries for the life of the program: bound in start-up order (data access,
// general utility, security), released in the reverse order. Each one missing is reported
// with its " not loaded!" notice and start-up carries on without it.
#pragma once

class FamilyLibraries {
public:
    FamilyLibraries();
    // Runs after every window and connection is gone: the libraries' code leaves with it.
    ~FamilyLibraries();
    FamilyLibraries(const FamilyLibraries&) = delete;
    FamilyLibraries& operator=(const FamilyLibraries&) = delete;
};
