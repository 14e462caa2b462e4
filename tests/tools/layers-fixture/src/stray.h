// Forbidden: a file in no layer's folder.
