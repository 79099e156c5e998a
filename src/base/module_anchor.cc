// Gives every module library at least one translation unit while it is being built up.
namespace hovra {}
