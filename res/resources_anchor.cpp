// The resource library holds no code of its own; its Qt resources are linked
// into whatever links it.
namespace corvane {
int ResourcesAnchor() { return 0; }
}  // namespace corvane
