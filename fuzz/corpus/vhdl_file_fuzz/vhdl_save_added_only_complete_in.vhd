f <= a;
