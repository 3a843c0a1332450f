Named object: "tri"
Tri-mesh, Vertices: 3     Faces: 1
Vertex list:
Vertex 0:  X:0.000000     Y:0.000000     Z:10.000000
Vertex 1:  X:1.000000     Y:0.000000     Z:10.000000
Vertex 2:  X:0.000000     Y:1.000000     Z:10.000000
Face list:
Face 0:    A:0 B:1 C:2 AB:1 BC:1 CA:1
