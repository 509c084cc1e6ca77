f <= a and b;
