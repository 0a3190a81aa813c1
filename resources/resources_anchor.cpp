// Anchors the compiled-in artwork resources in a library of their own.
