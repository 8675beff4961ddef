// The mesh (.x) reader, text and binary, and what the model loader does to
// a mesh before the device gets it: cleaning, welding, the reduced copies
// and the vertex-cache order.  A file is read or refused with a reason; the
// mesh read is a whole one.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/mesh_data.h"
#include "harness.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string path = fuzz::WriteScratch(data, size, "input.x");
    MeshData mesh;
    std::string error;
    if (!ReadXFile(path, &mesh, &error)) {
        // Refused without a reason, quoting control bytes, or half read.
        if (error.empty() || !fuzz::Plain(error) || mesh.FaceCount() != 0) std::abort();
        return 0;
    }
    if (mesh.indices.size() != mesh.attributes.size() * 3 || mesh.materials.empty()) std::abort();
    for (uint32_t i : mesh.indices)
        if (i >= mesh.vertices.size()) std::abort();
    for (uint32_t a : mesh.attributes)
        if (a >= mesh.materials.size()) std::abort();
    CleanMesh(&mesh);
    WeldVertices(&mesh);
    if (!ValidMesh(mesh) || mesh.FaceCount() == 0) return 0;
    uint32_t least = MinimumFaces(mesh);
    MeshData reduced = SimplifiedCopy(mesh, least + (mesh.FaceCount() - least) / 5);
    OptimizeVertexCache(&reduced);
    return 0;
}
