// The one source of the targets that compile the shared precompiled headers
// (cmake/TalvoPrecompiledHeaders.cmake); it holds nothing of its own.
