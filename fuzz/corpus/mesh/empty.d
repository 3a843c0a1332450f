Named object: "empty"
Tri-mesh, Vertices: 0     Faces: 0
Vertex list:
Face list:
